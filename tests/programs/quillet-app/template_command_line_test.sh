#!/usr/bin/env bash
# The user's templates on the command line: "quillet types" lists them, "quillet create" and a
# create-request URL make byte-identical copies under the template's name, and an id that leads
# out of the Templates folder is an unknown type that reads and writes nothing.
set -u
quillet=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
unset APP_SANDBOX_CONTAINER_ID DISPLAY WAYLAND_DISPLAY
mkdir -p "$XDG_CONFIG_HOME" "$work/Vorlagen/Work" "$work/out" "$work/outside"
# A localized Templates folder, named where the desktop names it.
printf 'XDG_TEMPLATES_DIR="%s/Vorlagen"\n' "$work" >"$XDG_CONFIG_HOME/user-dirs.dirs"
head -c 300000 /dev/urandom >"$work/Vorlagen/Letter.odt"
printf '#!/bin/sh\necho hi\n' >"$work/Vorlagen/Work/run.sh"
chmod 755 "$work/Vorlagen/Work/run.sh"
printf 'backup' >"$work/Vorlagen/Old.txt~"
printf 'secret' >"$work/outside/secret.txt"
ln -s "$work/outside/secret.txt" "$work/Vorlagen/Secret.txt"
mkfifo "$work/Vorlagen/Pipe.txt"

tab=$(printf '\t')
check "types lists the sixteen, then the templates" '[ "$("$quillet" types | wc -l)" -eq 18 ] && [ "$("$quillet" types | head -16 | tail -1 | cut -f1)" = pptx ]'
check "a template line" '[ "$("$quillet" types | grep "^template:Letter.odt")" = "template:Letter.odt${tab}Letter${tab}odt${tab}Templates" ]'
check "a subfolder template line" '"$quillet" types | grep -qx "template:Work/run.sh${tab}run${tab}sh${tab}Templates"'

first=$("$quillet" create template:Letter.odt "$work/out"); rc=$?
check "create prints the template's name" '[ $rc -eq 0 ] && [ "$first" = "$work/out/Letter.odt" ]'
check "the copy is byte-identical" 'cmp -s "$first" "$work/Vorlagen/Letter.odt"'
second=$("$quillet" create template:Letter.odt "$work/out")
check "the second copy is numbered" '[ "$second" = "$work/out/Letter 2.odt" ] && cmp -s "$second" "$work/Vorlagen/Letter.odt"'
script=$("$quillet" create template:Work/run.sh "$work/out")
check "a script stays executable" '[ "$script" = "$work/out/run.sh" ] && [ -x "$script" ] && [ "$("$script")" = hi ]'

# Switched off in the settings, it is no longer offered; one added since is.
"$quillet" defaults write enabledFileTypeIDs -json '["txt","template:Work/run.sh"]' >/dev/null
"$quillet" defaults write knownTemplateIDs -json '["template:Letter.odt","template:Work/run.sh"]' >/dev/null
printf 'readme' >"$work/Vorlagen/README.md"
check "only enabled and new templates are offered" '[ "$("$quillet" types | cut -f1 | tr "\n" " ")" = "txt template:README.md template:Work/run.sh " ]'

# Through the request URL, as a file manager's menu sends it (no instance runs: handled here).
url="quillaxe://create?type=template%3ALetter.odt&directory=$work/out"
"$quillet" "$url" >/dev/null 2>&1
check "a request URL creates the third copy" 'cmp -s "$work/out/Letter 3.odt" "$work/Vorlagen/Letter.odt"'

before=$(ls -A "$work/out" | sort | tr "\n" "/")
for id in "template:../outside/secret.txt" "template:$work/outside/secret.txt" "template:Secret.txt" \
          "template:Pipe.txt" "template:Old.txt~" "template:./Letter.odt" "template:Missing.odt"; do
  err=$(timeout 10 "$quillet" create "$id" "$work/out" 2>&1 >/dev/null); rc=$?
  check "create $id is an unknown type" '[ $rc -eq 2 ] && [ "$err" = "quillet: unknown file type \"$id\" (see quillet types)" ]'
  enc=$(printf '%s' "$id" | sed 's/:/%3A/; s|/|%2F|g')
  timeout 10 "$quillet" "quillaxe://create?type=$enc&directory=$work/out" >/dev/null 2>&1
done
check "nothing was created by a hostile id" '[ "$(ls -A "$work/out" | sort | tr "\n" "/")" = "$before" ]'
check "the folders were not written" '[ "$(ls -A "$work/Vorlagen" | sort | tr "\n" " ")" = "Letter.odt Old.txt~ Pipe.txt README.md Secret.txt Work " ]'

exit $fail
