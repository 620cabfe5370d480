#!/usr/bin/env bash
# quillet grants: list, add and remove saved folder grants in the shared suite.
set -u
quillet=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME=$scratch/config QUILLET_LOG=stderr
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
status() { "$quillet" "$@" >/dev/null 2>&1; echo $?; }

home=$scratch/home
mkdir -p "$home/Dropbox" "$home/Dropbox2" "$home/Folder 10" "$home/folder 2"
: > "$home/file.txt"
cd "$home"

check "nothing saved yet" '[ -z "$("$quillet" grants list)" ]'
check "a relative folder is made absolute" '[ "$("$quillet" grants add Dropbox)" = "$home/Dropbox" ]'
check "and standardized" '[ "$("$quillet" grants add ./Dropbox2/../Dropbox2/)" = "$home/Dropbox2" ]'
"$quillet" grants add "Folder 10" >/dev/null
"$quillet" grants add "$home/folder 2" >/dev/null
check "listed in natural order" '[ "$("$quillet" grants list)" = "$(printf "%s\n" "$home/Dropbox" "$home/Dropbox2" "$home/folder 2" "$home/Folder 10")" ]'
check "the grant is a data value under its key" \
  '"$quillet" defaults read "securityScopedFolderBookmark.$home/Dropbox" | grep -q "\"\$data\": \"[0-9a-f]*\""'

check "a folder that does not exist is an error" '[ "$(status grants add Missing)" = 1 ]'
check "a file is not a folder" '[ "$(status grants add file.txt)" = 1 ]'
check "failed adds store nothing" '[ "$("$quillet" grants list | wc -l)" = 4 ]'

check "remove" '[ "$(status grants remove Dropbox/)" = 0 ]'
check "removed from the list" '! "$quillet" grants list | grep -qx "$home/Dropbox"'
check "removing a folder without a grant is fine" '[ "$(status grants remove Missing)" = 0 ]'
check "the others stay" '[ "$("$quillet" grants list | wc -l)" = 3 ]'

for args in '' 'frobnicate' 'add' 'remove' 'add a b' 'list extra' 'add ""'; do
  eval "set -- $args"
  check "usage: grants $args exits 2" '[ "$(status grants "$@")" = 2 ]'
done
exit $fail
