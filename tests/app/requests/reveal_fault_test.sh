#!/usr/bin/env bash
# The file manager killed in the middle of showing a new file: the command that made it neither
# hangs nor loses the file. Runs inside tests/support/x11-session.sh, so the new file is shown
# through the session bus as on a desktop.
set -u
quillet=$1
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
work=$(mktemp -d)
trap 'kill -KILL $manager 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/Reports"
# A file manager that takes the ShowItems call and never answers it.
"$(dirname "$0")/../../support/fake_file_manager.py" '{}' --name org.freedesktop.FileManager1 --hang \
  >"$work/manager.out" 2>&1 &
manager=$!
for _ in $(seq 1 100); do grep -q ready "$work/manager.out" && break; sleep 0.1; done
start=$(date +%s%N)
"$quillet" open "quillaxe://create?type=md&directory=$work/Reports" >"$work/out" 2>"$work/err" &
command=$!
for _ in $(seq 1 100); do grep -q "called ShowItems" "$work/manager.out" && break; sleep 0.1; done
check "the file manager was asked to show the file" 'grep -q "called ShowItems" "$work/manager.out"'
kill -KILL $manager
wait $command; rc=$?
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
check "the command ends at once once the file manager is gone (rc $rc, ${elapsed} ms)" '[ $rc -eq 0 ] && [ $elapsed -lt 5000 ]'
check "and prints the file" '[ "$(cat "$work/out")" = "$work/Reports/Untitled.md" ]'
check "which is there" '[ -f "$work/Reports/Untitled.md" ]'
[ $fail -eq 0 ] || sed 's/^/  /' "$work/err"
exit $fail
