#!/usr/bin/env bash
# Runs a command inside a throw-away X11 desktop session: Xvfb on a free display, a private
# D-Bus session bus and, with --wm, the openbox window manager (which maintains the EWMH
# properties such as _NET_CLIENT_LIST_STACKING and _NET_ACTIVE_WINDOW) and, with --accessibility,
# the accessibility bus that Qt programs then join (see accessibility.sh). Everything started here,
# including whatever the command leaves running, is stopped when the command ends; the command's
# exit status is returned.
#
# Usage: x11-session.sh [--wm] [--accessibility] [--activation | --services DIR] [--screen WxHxD]
#                       [--] COMMAND [ARGS...]
#
# The bus activates no services unless --activation is given (then the system's session services
# are activatable) or --services names a folder of service files (then only those are):
# programs under test are started by the test, and a hermetic bus keeps indexers and volume
# monitors from slowing them down or outliving the session.
# Inside the command: DISPLAY, DBUS_SESSION_BUS_ADDRESS, a private XDG_RUNTIME_DIR, HOME and
# XDG_{CONFIG,DATA,CACHE}_HOME under QUILLET_SESSION_DIR (so nothing touches the real account),
# GSETTINGS_BACKEND=memory, NO_AT_BRIDGE=1 and GTK_A11Y=none (GTK programs start without dconf
# or the accessibility bus) and GSK_RENDERER=cairo (GTK 4 would otherwise draw through software
# OpenGL, slow enough on a busy machine to leave windows "Loading…" for a minute).
# Exit status 77 means the session itself could not be started.
set -u

want_wm=0
want_accessibility=0
activation=0
services=
screen=1280x800x24
while [ $# -gt 0 ]; do
  case $1 in
    --wm) want_wm=1; shift ;;
    --accessibility) want_accessibility=1; shift ;;
    --activation) activation=1; shift ;;
    --services) services=$(cd "$2" && pwd) || exit 2; shift 2 ;;
    --screen) screen=$2; shift 2 ;;
    --) shift; break ;;
    -*) echo "x11-session: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: x11-session.sh [--wm] [--accessibility] [--activation | --services DIR] [--screen WxHxD] [--] COMMAND..." >&2; exit 2; }

for tool in Xvfb dbus-daemon setsid xprop; do
  command -v "$tool" >/dev/null || { echo "x11-session: $tool is not installed" >&2; exit 77; }
done
if [ $want_wm -eq 1 ] && ! command -v openbox >/dev/null; then
  echo "x11-session: openbox is not installed" >&2; exit 77
fi
here=$(cd "$(dirname "$0")" && pwd)
. "$here/accessibility.sh"
if [ $want_accessibility -eq 1 ] && [ ! -x "$ACCESSIBILITY_LAUNCHER" ]; then
  echo "x11-session: at-spi2-core is not installed" >&2; exit 77
fi

session_dir=$(mktemp -d "${TMPDIR:-/tmp}/quillet-x11-session.XXXXXX")
chmod 700 "$session_dir"
pids=()

# Each child runs in a process group of its own (setsid), so stopping the group also stops what
# it started: services the bus activated, programs the command left behind.
cleanup() {
  local i
  for (( i=${#pids[@]}-1; i>=0; i-- )); do kill -TERM -- "-${pids[i]}" 2>/dev/null; done
  for (( i=${#pids[@]}-1; i>=0; i-- )); do
    for _ in $(seq 1 30); do kill -0 -- "-${pids[i]}" 2>/dev/null || break; sleep 0.1; done
    kill -KILL -- "-${pids[i]}" 2>/dev/null
    wait "${pids[i]}" 2>/dev/null
  done
  rm -rf "$session_dir"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Xvfb picks a free display number itself and writes it to the given descriptor once it accepts
# connections, so parallel sessions never race for a number.
display_file=$session_dir/display
setsid Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$display_file" \
  >"$session_dir/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 200); do
  [ -s "$display_file" ] && break
  kill -0 "${pids[0]}" 2>/dev/null || break
  sleep 0.05
done
if [ ! -s "$display_file" ]; then
  echo "x11-session: Xvfb did not start" >&2; cat "$session_dir/xvfb.log" >&2; exit 77
fi
export DISPLAY=":$(tr -dc 0-9 <"$display_file")"

mkdir -p "$session_dir"/{runtime,home,config,data,cache}
chmod 700 "$session_dir/runtime"
export XDG_RUNTIME_DIR=$session_dir/runtime
export HOME=$session_dir/home
export XDG_CONFIG_HOME=$session_dir/config
export XDG_DATA_HOME=$session_dir/data
export XDG_CACHE_HOME=$session_dir/cache
export QUILLET_SESSION_DIR=$session_dir
export GSETTINGS_BACKEND=memory
export NO_AT_BRIDGE=1
export GTK_A11Y=none
export GSK_RENDERER=cairo
unset WAYLAND_DISPLAY XDG_SESSION_TYPE SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS

if [ $activation -eq 1 ]; then
  bus_config=(--session)
else
  cat >"$session_dir/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <keep_umask/>
  <listen>unix:dir=$session_dir/runtime</listen>
  <auth>EXTERNAL</auth>
${services:+  <servicedir>$services</servicedir>}
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
  bus_config=(--config-file="$session_dir/bus.conf")
fi
bus_address=$session_dir/bus.address
setsid dbus-daemon "${bus_config[@]}" --nofork --nopidfile --print-address=3 \
  3>"$bus_address" >"$session_dir/dbus.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 200); do
  [ -s "$bus_address" ] && break
  sleep 0.05
done
if [ ! -s "$bus_address" ]; then
  echo "x11-session: the session bus did not start" >&2; cat "$session_dir/dbus.log" >&2; exit 77
fi
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$bus_address")
export DBUS_SESSION_BUS_ADDRESS

if [ $want_wm -eq 1 ]; then
  setsid openbox --sm-disable >"$session_dir/openbox.log" 2>&1 &
  pids+=($!)
  # The manager is ready once it has announced itself on the root window.
  for _ in $(seq 1 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
  done
  if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    echo "x11-session: openbox did not start" >&2; cat "$session_dir/openbox.log" >&2; exit 77
  fi
fi

if [ $want_accessibility -eq 1 ]; then
  accessibility_start "$session_dir/accessibility.log" || exit 77
  pids+=("$ACCESSIBILITY_PID")
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
fi

# The command's standard input is /dev/null (it runs in the background of this script).
setsid "$@" &
command_pid=$!
pids+=("$command_pid")
wait "$command_pid"
status=$?
exit $status
