#!/usr/bin/env bash
# "quillet URL" with a display: the alert is a message box and the access prompt a folder
# dialog, both answered with the keyboard through xdotool.
# Runs inside tests/support/x11-session.sh --wm (Xvfb, openbox, private bus and runtime folder).
set -u
quillet=$1
command -v xdotool >/dev/null || { echo "skipped: xdotool is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# No handler for folders: the reveal's fallback must not start a file manager in this session.
mkdir -p "$work/no-data"
export QUILLET_LOG=stderr XDG_DATA_DIRS=$work/no-data
unset APP_SANDBOX_CONTAINER_ID
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
# The first visible window whose title matches, waited for. Qt follows a dialog's own title
# with the application's name ("Allow Folder Access — Quillet+").
window() { xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1; }
# Keys go through XTest to the focused window: Qt ignores events sent to a window directly.
press() { xdotool windowactivate --sync "$1" 2>/dev/null; xdotool key "${@:2}"; }
finished() { for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done; return 1; }
mkdir -p "$work/files/q"

# An unknown type: the warning box, dismissed with Return; status 1.
"$quillet" "quillaxe://create?type=zzz&directory=$work/files/q" >"$work/out" 2>"$work/err" &
pid=$!
box=$(timeout 20 bash -c "$(declare -f window); window '^Quillet\+\$'")
check "the alert is a window" '[ -n "$box" ]'
[ -n "$box" ] && press "$box" Return
check "Return dismisses it" 'finished $pid'
wait $pid; rc=$?
check "status 1 after the alert" '[ $rc -eq 1 ] && [ -z "$(cat "$work/out")" ]'
check "logged" 'grep -qx "CreateFileRequest error: Unknown file type requested: zzz" "$work/err"'
check "and not printed as well" '! grep -qx "Could not create file" "$work/err"'

# Sandboxed without a grant: the prompt opens beside the folder; cancelling it is reported in a box.
export APP_SANDBOX_CONTAINER_ID=x
"$quillet" "quillaxe://create?type=txt&directory=$work/files/q" >"$work/out" 2>"$work/err" &
pid=$!
prompt=$(timeout 20 bash -c "$(declare -f window); window '^Allow Folder Access( — Quillet\+)?\$'")
check "the prompt is a window" '[ -n "$prompt" ]'
[ -n "$prompt" ] && press "$prompt" Escape
box=$(timeout 20 bash -c "$(declare -f window); window '^Quillet\+\$'")
check "the cancellation is an alert" '[ -n "$box" ]'
[ -n "$box" ] && press "$box" Return
check "the run ends" 'finished $pid'
wait $pid; rc=$?
check "cancelled: status 1, nothing written" '[ $rc -eq 1 ] && [ -z "$(ls -A "$work/files/q")" ]'
check "cancelled: the access error" 'grep -qx "CreateFileRequest error: Create request failed: Quillet+ needs access to q before it can create files there." "$work/err"'

# Choosing the folder: typed into the dialog's name field and confirmed ("Allow Access").
"$quillet" "quillaxe://create?type=txt&directory=$work/files/q" >"$work/out" 2>"$work/err" &
pid=$!
prompt=$(timeout 20 bash -c "$(declare -f window); window '^Allow Folder Access( — Quillet\+)?\$'")
check "the prompt opens again" '[ -n "$prompt" ]'
if [ -n "$prompt" ]; then
  xdotool windowactivate --sync "$prompt" 2>/dev/null
  xdotool type "$work/files/q"
  xdotool key Return
  sleep 0.5
  # Return on a folder's name may open it; a second one confirms it.
  kill -0 $pid 2>/dev/null && xdotool key Return
fi
check "the run ends" 'finished $pid'
wait $pid; rc=$?
check "granted: the file and its path" '[ $rc -eq 0 ] && [ "$(cat "$work/out")" = "$work/files/q/Untitled.txt" ] && [ -f "$work/files/q/Untitled.txt" ]'
check "the grant is saved" '[ "$("$quillet" grants list)" = "$work/files/q" ]'
# Saved: no prompt the second time.
timeout 20 "$quillet" "quillaxe://create?type=txt&directory=$work/files/q" >"$work/out" 2>"$work/err"; rc=$?
check "no second prompt" '[ $rc -eq 0 ] && [ "$(cat "$work/out")" = "$work/files/q/Untitled 2.txt" ]'
[ $fail -eq 0 ] || cat "$work/err"
exit $fail
