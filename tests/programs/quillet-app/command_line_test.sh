#!/usr/bin/env bash
# The command line's own contract: help, version, types, create and usage errors.
set -u
quillet=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
# Settings live in a private configuration folder, never the user's.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
export XDG_CONFIG_HOME=$config
# No Templates folder (the desktop's way of saying so), whatever the account's home holds.
printf 'XDG_TEMPLATES_DIR="$HOME/"\n' >"$config/user-dirs.dirs"

check "help mentions types" '"$quillet" --help | grep -q "types"'
check "version" '"$quillet" --version | grep -q "^Quillet+ "'
check "types lists sixteen" '[ "$("$quillet" types | wc -l)" -eq 16 ]'
check "types first line" '[ "$("$quillet" types | head -1)" = "$(printf "txt\tText\ttxt\tPlain Text")" ]'
# The listing follows the stored order and enabled set with the application's repair rules.
"$quillet" defaults write fileTypeOrder -json '["md","nope","txt","md"]' >/dev/null
check "types --all follows the stored order" '[ "$("$quillet" types --all | cut -f1 | head -4 | tr "\n" " ")" = "md txt md rtf " ] && [ "$("$quillet" types --all | wc -l)" -eq 17 ]'
"$quillet" defaults write enabledFileTypeIDs -json '["txt",5]' >/dev/null
check "a mixed enabled set offers every type" '[ "$("$quillet" types | wc -l)" -eq 17 ]'
"$quillet" defaults write enabledFileTypeIDs -json '["txt","ghost"]' >/dev/null
check "only enabled types are offered" '[ "$("$quillet" types | cut -f1 | tr "\n" " ")" = "txt " ]'
"$quillet" defaults delete enabledFileTypeIDs >/dev/null
"$quillet" defaults delete fileTypeOrder >/dev/null
"$quillet" frobnicate >/dev/null 2>&1; rc=$?
check "unknown command exits 2" '[ $rc -eq 2 ]'

# destination: the folder, then its short name; the Desktop is under the account's home, not $HOME.
account_desktop="$(getent passwd "$(id -u)" | cut -d: -f6)/Desktop"
out=$(HOME=/nonexistent "$quillet" destination); rc=$?
check "destination desktop" '[ $rc -eq 0 ] && [ "$out" = "$(printf "%s\nDesktop" "$account_desktop")" ]'
out=$(env -u DISPLAY "$quillet" destination frontFinderFolder 2>/dev/null); rc=$?
check "destination without a display falls back" '[ $rc -eq 0 ] && [ "$out" = "$(printf "%s\nDesktop" "$account_desktop")" ]'
"$quillet" destination Desktop >/dev/null 2>&1; rc=$?
check "unknown destination exits 2" '[ $rc -eq 2 ]'

# create: the new file's absolute path on stdout; failures as the alert's title and text.
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
mkdir "$work/docs"
first=$(cd "$work" && "$quillet" create docx docs); rc=$?
check "create prints the absolute path" '[ $rc -eq 0 ] && [ "$first" = "$work/docs/Untitled.docx" ]'
check "create copies the bundled template" 'cmp -s "$first" "$(dirname "$quillet")/../share/quillet/blank.docx"'
second=$("$quillet" create docx "$work/docs/../docs/")
check "second create is numbered" '[ "$second" = "$work/docs/Untitled 2.docx" ]'
err=$("$quillet" create txt "$work/missing" 2>&1 >/dev/null); rc=$?
check "failure exits 1" '[ $rc -eq 1 ]'
check "failure text" '[ "$err" = "$(printf "Could not create file\nThe file \xe2\x80\x9cUntitled.txt\xe2\x80\x9d couldn\xe2\x80\x99t be saved because the folder \xe2\x80\x9cmissing\xe2\x80\x9d doesn\xe2\x80\x99t exist.")" ]'
err=$("$quillet" create foo "$work" 2>&1 >/dev/null); rc=$?
check "unknown type exits 2" '[ $rc -eq 2 ] && [ "$err" = "quillet: unknown file type \"foo\" (see quillet types)" ]'
"$quillet" create >/dev/null 2>"$work/usage"; rc=$?
check "missing type argument exits 2" '[ $rc -eq 2 ] && grep -q "usage: quillet create TYPE FOLDER" "$work/usage"'
# --item: the clicked items follow it, and only the first counts; relative ones from here.
mkdir "$work/--item"
third=$(cd "$work" && "$quillet" create txt --item ./--item/ "$work/docs"); rc=$?
check "create --item with a folder" '[ $rc -eq 0 ] && [ "$third" = "$work/--item/Untitled.txt" ]'
err=$("$quillet" create txt --item 2>&1 >/dev/null); rc=$?
check "create --item without an item exits 2" '[ $rc -eq 2 ] && [ "$err" = "quillet: --item needs the clicked item'"'"'s path" ]'
# Past the file size limit the write fails (the program is not killed) and nothing stays.
err=$( (ulimit -f 0; "$quillet" create pptx "$work/docs") 2>&1 >/dev/null); rc=$?
# (the settings suite cannot be written either; that is logged and creation goes on)
check "size limit exits 1" '[ $rc -eq 1 ] && printf "%s\n" "$err" | grep -qx "Could not create file"'
check "size limit leaves nothing" '[ ! -e "$work/docs/Untitled.pptx" ]'
# A read-only folder, tried by an unprivileged user (root may write anywhere).
mkdir "$work/ro" "$work/run"
chmod 555 "$work/ro"
as_user=()
user_quillet=$quillet
if [ "$(id -u)" -eq 0 ]; then
  if command -v setpriv >/dev/null && id nobody >/dev/null 2>&1; then
    chmod 755 "$work"
    chown nobody "$work/run"
    as_user=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups)
    # The build may sit in a folder only root can enter: the user runs a copy.
    . "$(dirname "$0")/../../support/account-program.sh"
    user_quillet=$(account_program nobody "$quillet" "$work/program") || as_user=(skip)
  else
    as_user=(skip)
  fi
fi
if [ "${as_user[0]:-}" != skip ]; then
  err=$(XDG_RUNTIME_DIR="$work/run" "${as_user[@]}" "$user_quillet" create txt "$work/ro" 2>&1 >/dev/null); rc=$?
  check "read-only folder exits 1" '[ $rc -eq 1 ] && [ "$(printf "%s" "$err" | tail -1)" = "$(printf "You don\xe2\x80\x99t have permission to save the file \xe2\x80\x9cUntitled.txt\xe2\x80\x9d in the folder \xe2\x80\x9cro\xe2\x80\x9d.")" ]'
  check "read-only folder stays empty" '[ -z "$(ls -A "$work/ro")" ]'
else
  echo "skipped: no way to run as an unprivileged user"
fi
exit $fail
