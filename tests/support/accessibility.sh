# The accessibility bus (AT-SPI) for the X11 test scripts (sourced): with it a test finds a
# window's controls by role and name (tests/support/accessible.py), as a screen reader does,
# instead of clicking at pixel positions.
#
#   accessibility_start LOG [RUNNER...]
#       starts at-spi-bus-launcher on the session bus of DBUS_SESSION_BUS_ADDRESS (or of the
#       environment RUNNER gives, e.g. "setpriv ... env -i ..." for another account), in a process
#       group of its own, and waits until it answers. Sets ACCESSIBILITY_PID (the group to stop)
#       and ACCESSIBILITY_ADDRESS (the accessibility bus; accessible.py run elsewhere finds it
#       through AT_SPI_BUS_ADDRESS). Returns 1, with the launcher's output, when it does not start.
# Qt programs join the bus when QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 is in their environment.

ACCESSIBILITY_LAUNCHER=/usr/libexec/at-spi-bus-launcher

accessibility_start() {
  local log=$1 deadline reply
  shift
  # The launcher reads its settings schema from the system's data folders, whatever the tests
  # point XDG_DATA_DIRS at.
  setsid "$@" env XDG_DATA_DIRS=/usr/local/share:/usr/share GSETTINGS_BACKEND=memory \
    "$ACCESSIBILITY_LAUNCHER" --launch-immediately >"$log" 2>&1 &
  ACCESSIBILITY_PID=$!
  deadline=$(( $(date +%s) + 10 ))
  while :; do
    reply=$("$@" dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
      org.a11y.Bus.GetAddress 2>/dev/null) && [ -n "$reply" ] && break
    if [ "$(date +%s)" -ge "$deadline" ] || ! kill -0 "$ACCESSIBILITY_PID" 2>/dev/null; then
      echo "the accessibility bus did not start:" >&2
      cat "$log" >&2
      return 1
    fi
    sleep 0.05
  done
  ACCESSIBILITY_ADDRESS=$(echo $reply)
}
