#!/usr/bin/env bash
# quillet shortcut: shortcuts shown and set by name, stored as the settings store them; refused
# combinations change nothing; every command answers --help.
set -u
quillet=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME=$scratch/config QUILLET_LOG=stderr
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
status() { "$quillet" "$@" >/dev/null 2>&1; echo $?; }
line() { "$quillet" shortcut list | grep "^$1	"; }
# A stored data value as "defaults read" shows it, on one line, and the same for the given bytes.
stored() { "$quillet" defaults read "$1" | tr -d ' \n'; }
as_data() { printf '{"$data":"%s"}' "$(printf %s "$1" | od -An -tx1 | tr -d ' \n')"; }
tab=$'\t'

check "a fresh suite lists the default Quick Create shortcut" '[ "$(line quick-create)" = "quick-create${tab}Ctrl+Alt+N" ]'
check "and every type without one, in the user's order" \
  '[ "$("$quillet" shortcut list | cut -f1 | paste -sd,)" = "quick-create,$("$quillet" types --all | cut -f1 | paste -sd,)" ]'
check "a type without a shortcut" '[ "$(line md)" = "md${tab}none" ]'

check "set by name, in any case" '[ "$("$quillet" shortcut set md ctrl+alt+m)" = "md${tab}Ctrl+Alt+M" ]'
check "stored as the card stores it" \
  '[ "$(stored fileTypeShortcuts)" = "$(as_data '"'"'{"md":{"carbonModifiers":6144,"keyCode":46}}'"'"')" ]'
"$quillet" shortcut set quick-create Super+Shift+F5 >/dev/null
check "Quick Create as the desktop writes it" '[ "$(line quick-create)" = "quick-create${tab}Shift+Super+F5" ]'
check "Quick Create stored in field order" \
  '[ "$(stored quickCreateShortcut)" = "$(as_data '"'"'{"keyCode":96,"carbonModifiers":768}'"'"')" ]'

# Refused: nothing is written, and the reason is given.
for combination in Shift+A A Ctrl+Alt Ctrl+Hyper+A "Ctrl+A+B" ""; do
  check "refused: $combination exits 1" '[ "$(status shortcut set txt "$combination")" = 1 ]'
done
check "nothing was stored for a refused combination" '[ "$(line txt)" = "txt${tab}none" ]'
check "Shift alone is refused with the recorder's hint" \
  '"$quillet" shortcut set txt Shift+A 2>&1 | grep -q "Add Ctrl, Alt, or Super"'
check "no key is refused as such" '"$quillet" shortcut set txt Ctrl+Alt 2>&1 | grep -q "names no key"'
for args in "" "frobnicate" "set" "set md" "set ghost Ctrl+A" "clear" "clear ghost" "list extra" "set md Ctrl+A extra"; do
  eval "set -- $args"
  check "malformed: shortcut $args exits 2" '[ "$(status shortcut "$@")" = 2 ]'
done

# A combination another shortcut holds is kept and named as the card names it.
out=$("$quillet" shortcut set txt Ctrl+Alt+M 2>"$scratch/err"); rc=$?
check "a conflict is kept" '[ $rc -eq 0 ] && [ "$out" = "txt${tab}Ctrl+Alt+M${tab}Conflicts with Markdown" ]'
check "and reported as the card reports it" '[ "$(cat "$scratch/err")" = "quillet: Conflicts with Markdown" ]'
"$quillet" shortcut set quick-create Ctrl+Alt+M 2>"$scratch/err" >/dev/null
check "Quick Create names the first type in the user's order" '[ "$(cat "$scratch/err")" = "quillet: Conflicts with Text" ]'
"$quillet" shortcut set quick-create Ctrl+Alt+N 2>/dev/null >/dev/null
check "a type's line names Quick Create first" '[ "$(line md)" = "md${tab}Ctrl+Alt+M${tab}Conflicts with Text" ]'
"$quillet" defaults write enabledFileTypeIDs -json '["md"]' >/dev/null
check "a disabled type says so" '[ "$(line txt)" = "txt${tab}Ctrl+Alt+M${tab}disabled" ]'

check "clear removes a type's shortcut" '[ "$("$quillet" shortcut clear txt)" = "txt${tab}none${tab}disabled" ]'
check "clearing leaves the others" '[ "$(line md)" = "md${tab}Ctrl+Alt+M" ]'
check "Quick Create cannot be cleared" '[ "$(status shortcut clear quick-create)" = 1 ]'
check "and says how to restore it" '"$quillet" shortcut clear quick-create 2>&1 | grep -q "set quick-create Ctrl+Alt+N"'

# Another program holds the settings' write lock past the suite's wait: the change is said to be
# unsaved, with status 1, and the stored shortcuts stay as they were.
before=$(stored fileTypeShortcuts)
sleep 9 | python3 "$(dirname "$0")/../../support/hold_settings_lock.py" \
  "$XDG_CONFIG_HOME/group.org.quillet.Quillet/Defaults.sqlite" 8 >"$scratch/lock" &
holder=$!
for _ in $(seq 100); do grep -q locked "$scratch/lock" && break; sleep 0.05; done
out=$("$quillet" shortcut set md Ctrl+Alt+K 2>"$scratch/err"); rc=$?
check "an unsaved shortcut exits 1 and prints no shortcut" '[ $rc -eq 1 ] && [ -z "$out" ]'
check "and says why" 'grep -q "^quillet: The setting fileTypeShortcuts could not be saved: database is locked" "$scratch/err"'
wait "$holder"
check "the stored shortcuts are as they were" '[ "$(stored fileTypeShortcuts)" = "$before" ]'

# --help on every command: its usage on stdout, status 0, nothing run.
for command in types create destination defaults grants shortcut open quick-create check-for-updates uninstall; do
  out=$("$quillet" $command --help 2>"$scratch/err"); rc=$?
  check "$command --help exits 0" '[ $rc -eq 0 ]'
  check "$command --help prints its usage" '[ "${out%% *}" = "usage:" ] && grep -q "quillet $command" <<<"$out"'
  check "$command --help prints no error" '[ ! -s "$scratch/err" ]'
done
exit $fail
