#!/usr/bin/env bash
# The application as the desktop starts it: "quillet" with no arguments runs until SIGTERM, a
# second launch is handed to the first, the Quick Create hot key opens the panel with the keyboard focus,
# a killed run does not block the next launch, and without a display it still starts.
# Runs inside tests/support/x11-session.sh --wm --accessibility (Xvfb, openbox, private bus and
# runtime folder, the accessibility bus for the optional screenshot of the narrowed panel).
set -u
quillet=$1
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
for tool in xdotool xprop; do command -v $tool >/dev/null || { echo "$tool missing"; exit 77; }; done
work=$(mktemp -d)
trap 'kill -KILL $pid 2>/dev/null; rm -rf "$work"' EXIT
export QUILLET_LOG=stderr

wait_for() {  # condition, tenths of a second
  for _ in $(seq 1 "$2"); do eval "$1" && return 0; sleep 0.1; done
  return 1
}
. "$(dirname "$0")/../../support/x11-wait.sh"

"$quillet" 2>"$work/first.log" &
pid=$!
check "logs that it started" 'wait_for "grep -q \"Quillet+ started\" $work/first.log" 100'
check "registers the Quick Create hot key" 'grep -q "Registered Ctrl+Alt+N hot key" "$work/first.log"'

err=$("$quillet" 2>&1 >/dev/null); rc=$?
check "a second launch exits 0, silently" '[ $rc -eq 0 ] && [ -z "$err" ]'
# Even one that reaches the application program (here: past the launcher) finds the first.
libexec=$(dirname "$quillet")/../libexec/quillet-app
"$libexec" 2>/dev/null; rc=$?
check "a second application program exits 0" '[ $rc -eq 0 ]'
check "the first one keeps running" 'kill -0 $pid'

# The hot key: the panel appears, in front, with the focus.
xdotool key ctrl+alt+n
panel=$(await_window 5 "the panel" --name "^Create File$")
check "the hot key opens the panel" '[ -n "$panel" ]'
check "the panel has the focus" 'wait_for "[ \"\$(xdotool getactivewindow 2>/dev/null)\" = \"$panel\" ]" 30'
check "the panel is on every desktop" 'xprop -id "$panel" _NET_WM_DESKTOP | grep -q "= 4294967295"'
check "the panel stays above other windows" 'xprop -id "$panel" _NET_WM_STATE | grep -q "_NET_WM_STATE_ABOVE"'
xdotool type --delay 20 "mark"
if [ -n "${QUILLET_SCREENSHOT:-}" ] && command -v import >/dev/null; then
  # Taken once the panel shows the narrowed list, as the accessibility bus reports its tiles.
  markdown_only() {
    [ "$(/usr/bin/python3 "$(dirname "$0")/../../support/accessible.py" "Create File" names "push button" 2>/dev/null)" = Markdown ]
  }
  wait_until 5 "the tiles narrowed to Markdown" markdown_only
  import -window root "$QUILLET_SCREENSHOT"
fi
xdotool key Escape
check "Escape hides the panel" 'wait_for "! xdotool search --onlyvisible --name \"^Create File$\" >/dev/null 2>&1" 30'

# A shortcut the command line writes while the application runs is registered within a second:
# Ctrl+Alt+O, stored as the JSON bytes {"keyCode":31,"carbonModifiers":6144}.
"$quillet" defaults write quickCreateShortcut \
  -data 7b226b6579436f6465223a33312c22636172626f6e4d6f64696669657273223a363134347d
check "a shortcut written elsewhere is registered" \
  'wait_for "grep -q \"Registered Ctrl+Alt+O hot key\" $work/first.log" 10'
check "and only once" '[ "$(grep -c "Registered Ctrl+Alt+O hot key" "$work/first.log")" -eq 1 ]'
# The same by name: "quillet shortcut set" writes the stored form, and the running instance
# registers it within a second, for Quick Create and for a type.
"$quillet" shortcut set quick-create ctrl+alt+p >/dev/null
check "a shortcut set by name is registered" \
  'wait_for "grep -q \"Registered Ctrl+Alt+P hot key\" $work/first.log" 10'
"$quillet" shortcut set md Ctrl+Alt+M >/dev/null
check "a type's shortcut set by name is registered" \
  'wait_for "grep -q \"Registered Ctrl+Alt+M hot key\" $work/first.log" 10'

kill -TERM $pid
wait $pid; rc=$?
check "SIGTERM ends it cleanly" '[ $rc -eq 0 ] && grep -q "Quillet+ stopped" "$work/first.log"'

# A run that was killed leaves its lock file, which must not block the next launch.
"$quillet" 2>"$work/second.log" &
pid=$!
wait_for "grep -q \"Quillet+ started\" $work/second.log" 100
kill -KILL $pid; wait $pid 2>/dev/null
"$quillet" 2>"$work/third.log" &
pid=$!
check "starts after a killed run" 'wait_for "grep -q \"Quillet+ started\" $work/third.log" 100'
kill -TERM $pid; wait $pid

# Without a display: it starts anyway, and the hot keys fail in the log.
env -u DISPLAY "$quillet" 2>"$work/nodisplay.log" &
pid=$!
check "starts without a display" 'wait_for "grep -q \"Quillet+ started\" $work/nodisplay.log" 100'
check "says there is no display" 'grep -q "No display available" "$work/nodisplay.log"'
check "hot keys fail and are logged" 'grep -q "Failed to install hot key handler" "$work/nodisplay.log"'
kill -TERM $pid; wait $pid
exit $fail
