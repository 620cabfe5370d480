#!/usr/bin/env bash
# The main window as a new user meets it: the first launch on a fresh settings suite shows the
# welcome walkthrough over the main window, Return walks through it to "Get Started", which is
# remembered; the window has grown once to the screen with its title bar on it; closed, with no
# tray to show Quillet+ in, it quits, and a new launch brings back the same kind of window
# without the walkthrough. Runs inside tests/support/x11-session.sh --wm.
# QUILLET_SCREENSHOT_DIR=DIR keeps pictures of the walkthrough and the window.
set -u
quillet=$1
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
for tool in xdotool xwininfo; do command -v $tool >/dev/null || { echo "$tool missing"; exit 77; }; done
work=$(mktemp -d)
pid=
trap 'kill -KILL $pid 2>/dev/null; rm -rf "$work"' EXIT
export QUILLET_LOG=stderr
. "$(dirname "$0")/../../support/x11-wait.sh"
shot() { [ -n "${QUILLET_SCREENSHOT_DIR:-}" ] && command -v import >/dev/null && import -window root "$QUILLET_SCREENSHOT_DIR/$1.png"; }

"$quillet" 2>"$work/app.log" &
pid=$!
wait_until 20 "Quillet+ started" grep -q "Quillet+ started" "$work/app.log" || { cat "$work/app.log"; exit 1; }
main=$(await_window 10 "the main window" --onlyvisible --name '^Quillet\+$')
sheet=$(await_window 10 "the walkthrough" --onlyvisible --name '^Welcome to Quillet\+$')
check "a fresh suite shows the main window" '[ -n "$main" ]'
check "with the walkthrough over it" '[ -n "$sheet" ]'
shot walkthrough
# Next, Next, Next, then Get Started: Return is the default button on every page.
for _ in 1 2 3 4; do
  xdotool windowactivate --sync "$sheet" key Return 2>/dev/null
  sleep 0.5
done
check "Get Started closes the walkthrough" 'wait_until 5 "the walkthrough gone" no_window --onlyvisible --name "^Welcome to Quillet\+$"'
check "and is remembered" '[ "$("$quillet" defaults read hasCompletedOnboarding)" = true ]'
eval "$(xdotool getwindowgeometry --shell "$main")"
check "the window grew to the screen once (content $HEIGHT high)" '[ "$HEIGHT" -ge 700 ] && [ "$HEIGHT" -le 800 ]'
# The frame's top (title bar included) is on the screen, not above it.
frame_top=$(xwininfo -id "$main" | awk '/Absolute upper-left Y/ { y = $NF } /Relative upper-left Y/ { r = $NF } END { print y - r }')
check "its title bar is on the screen (frame top $frame_top)" '[ "$frame_top" -ge 0 ]'
shot main-window

# Closed (File ▸ Close Window) with no tray to show it in, Quillet+ quits rather than run unseen;
# launched again, the window comes back, without the walkthrough.
xdotool windowactivate --sync "$main" key ctrl+w
wait_until 5 "the main window closed" no_window --onlyvisible --name '^Quillet\+$'
check "Quillet+ quits with its last window" 'wait_until 10 "the instance gone" eval "! kill -0 $pid 2>/dev/null"'
wait $pid
"$quillet" 2>>"$work/app.log" &
pid=$!
check "a new launch opens the main window" 'await_window 10 "the main window again" --onlyvisible --name "^Quillet\+$" >/dev/null'
sleep 1
check "without the walkthrough" 'no_window --onlyvisible --name "^Welcome to Quillet\+$"'
kill -TERM $pid; wait $pid
exit $fail
