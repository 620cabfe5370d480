#!/usr/bin/env bash
# "quillet URL" with a display: the alert is a message box, answered with Return, and the access
# prompt a folder dialog, cancelled with Escape or answered with "Allow Access". Keys and clicks
# go out only once the window is active and the control that takes them has the focus or is on
# the screen, as the window manager and the accessibility bus report it.
# Runs inside tests/support/x11-session.sh --wm --accessibility (Xvfb, openbox, private bus and
# runtime folder, the accessibility bus).
set -u
quillet=$1
support=$(cd "$(dirname "$0")/../../support" && pwd)
. "$support/x11-wait.sh"
for tool in xdotool xwininfo; do command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }; done
/usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
  { echo "skipped: the AT-SPI bindings for Python (gir1.2-atspi-2.0, python3-gi) are missing"; exit 77; }
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill -KILL $pid 2>/dev/null; rm -rf "$work"' EXIT
# No handler for folders: the reveal's fallback must not start a file manager in this session.
mkdir -p "$work/no-data"
export QUILLET_LOG=stderr XDG_DATA_DIRS=$work/no-data
unset APP_SANDBOX_CONTAINER_ID
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }

# A shown window of the run whose title matches. Qt follows a dialog's own title with the
# application's name ("Allow Folder Access — Quillet+"), and titles its completion lists like the
# application: those are override-redirect windows, never the one wanted.
window_of_run() {
  local w
  for w in $(xdotool search --all --onlyvisible --pid "$pid" --name "$1" 2>/dev/null); do
    xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: no' && { echo "$w"; return 0; }
  done
  return 1
}
await_dialog() {  # DESCRIPTION TITLE_PATTERN: prints the window once it is shown
  wait_until 20 "$1" window_of_run "$2" >/dev/null && window_of_run "$2"
}
# Controls of the window titled NAME on the accessibility bus (Qt gives it the dialog's own title).
accessible() { /usr/bin/python3 "$support/accessible.py" "$@" 2>>"$work/accessible.log"; }
# Makes WINDOW the active one and waits until its control of ROLE has the keyboard focus, so the
# keys that follow reach that control: Qt ignores events sent to a window directly, so keys go
# through XTest to the focused window.
focus_on() {  # WINDOW NAME ROLE
  xdotool windowactivate "$1" 2>/dev/null
  wait_until 10 "window $1 active" window_active "$1" &&
    wait_until 10 "a $3 focused in \"$2\"" accessible "$2" focused "$3"
}
click_on() {  # NAME ROLE LABEL: clicks the centre of the shown control
  local at
  wait_until 10 "the $2 \"$3\" shown in \"$1\"" accessible "$1" center "$2" "$3" >/dev/null || return 1
  at=$(accessible "$1" center "$2" "$3") && xdotool mousemove $at click 1
}
# The run ends by itself; one that does not is stopped, so the script never waits for it forever.
ended() {
  wait_until 10 "quillet to exit" eval '! kill -0 $pid 2>/dev/null' && return 0
  kill -KILL "$pid" 2>/dev/null
  return 1
}
mkdir -p "$work/files/q"

# An unknown type: the warning box, dismissed with Return; status 1.
"$quillet" "quillaxe://create?type=zzz&directory=$work/files/q" >"$work/out" 2>"$work/err" &
pid=$!
box=$(await_dialog "the alert" '^Quillet\+$')
check "the alert is a window" '[ -n "$box" ]'
[ -n "$box" ] && focus_on "$box" "Quillet+" "push button" && xdotool key Return
check "Return dismisses it" 'ended'
wait $pid; rc=$?
check "status 1 after the alert" '[ $rc -eq 1 ] && [ -z "$(cat "$work/out")" ]'
check "logged" 'grep -qx "CreateFileRequest error: Unknown file type requested: zzz" "$work/err"'
check "and not printed as well" '! grep -qx "Could not create file" "$work/err"'
# The scriptable form, display or not, never waits on a dialog: the alert's text goes to stderr.
timeout 20 "$quillet" open "quillaxe://create?type=zzz&directory=$work/files/q" >"$work/out" 2>"$work/err" </dev/null; rc=$?
check "open URL: status 1 at once" '[ $rc -eq 1 ] && [ -z "$(cat "$work/out")" ]'
check "open URL: the alert printed" 'grep -qx "Could not create file" "$work/err"'

# Sandboxed without a grant: the prompt opens in the folder; cancelling it is reported in a box.
export APP_SANDBOX_CONTAINER_ID=x
"$quillet" "quillaxe://create?type=txt&directory=$work/files/q" >"$work/out" 2>"$work/err" &
pid=$!
prompt=$(await_dialog "the access prompt" '^Allow Folder Access( — Quillet\+)?$')
check "the prompt is a window" '[ -n "$prompt" ]'
[ -n "$prompt" ] && focus_on "$prompt" "Allow Folder Access" text && xdotool key Escape
box=$(await_dialog "the cancellation alert" '^Quillet\+$')
check "the cancellation is an alert" '[ -n "$box" ]'
[ -n "$box" ] && focus_on "$box" "Quillet+" "push button" && xdotool key Return
check "the run ends" 'ended'
wait $pid; rc=$?
check "cancelled: status 1, nothing written" '[ $rc -eq 1 ] && [ -z "$(ls -A "$work/files/q")" ]'
check "cancelled: the access error" 'grep -qx "CreateFileRequest error: Create request failed: Quillet+ needs access to q before it can create files there." "$work/err"'

# Granting: the prompt opens in the folder itself, so "Allow Access" as it opens chooses it.
"$quillet" "quillaxe://create?type=txt&directory=$work/files/q" >"$work/out" 2>"$work/err" &
pid=$!
prompt=$(await_dialog "the access prompt" '^Allow Folder Access( — Quillet\+)?$')
check "the prompt opens again" '[ -n "$prompt" ]'
if [ -n "$prompt" ]; then
  xdotool windowactivate "$prompt" 2>/dev/null
  click_on "Allow Folder Access" "push button" "Allow Access"
fi
check "the run ends" 'ended'
wait $pid; rc=$?
check "granted: the file and its path" '[ $rc -eq 0 ] && [ "$(cat "$work/out")" = "$work/files/q/Untitled.txt" ] && [ -f "$work/files/q/Untitled.txt" ]'
check "the grant is saved" '[ "$("$quillet" grants list)" = "$work/files/q" ]'
# Saved: no prompt the second time.
timeout 20 "$quillet" "quillaxe://create?type=txt&directory=$work/files/q" >"$work/out" 2>"$work/err"; rc=$?
check "no second prompt" '[ $rc -eq 0 ] && [ "$(cat "$work/out")" = "$work/files/q/Untitled 2.txt" ]'
if [ $fail -ne 0 ]; then
  cat "$work/err"
  [ -s "$work/accessible.log" ] && cat "$work/accessible.log"
fi
exit $fail
