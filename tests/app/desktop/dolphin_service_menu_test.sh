#!/usr/bin/env bash
# The Dolphin service menu as the running application keeps it: written at launch for the
# offered types, rewritten when another process changes them, removed when none is offered;
# accepted by desktop-file-validate as far as its KDE keys allow; and every action's Exec line,
# read by GLib's own desktop entry parser (gio launch), creates the file where the click means.
# The program runs from a folder whose name needs every Exec escape, with private HOME and XDG
# folders and no display.
# Usage: dolphin_service_menu_test.sh QUILLET_BINARY
set -u
built=$(cd "$(dirname "$1")/.." && pwd)
for tool in gio desktop-file-validate; do
  command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
scratch=$(mktemp -d)
trap 'kill -KILL $app 2>/dev/null; [ -n "${KEEP:-}" ] || rm -rf "$scratch"' EXIT
unset DISPLAY WAYLAND_DISPLAY APP_SANDBOX_CONTAINER_ID DBUS_SESSION_BUS_ADDRESS
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data
export XDG_RUNTIME_DIR=$scratch/run QUILLET_LOG=stderr
mkdir -p "$HOME/Desktop" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; fail=1; fi; }
# Runs COMMAND ARGS... until it succeeds, for up to ten seconds.
wait_for() { for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done; return 1; }
# The actions' types in menu order ("py;_SEPARATOR_;txt;"): each action is named for its place and
# type ("q001-py"), so that Dolphin, which sorts them by name, keeps the order.
actions_are() { [ "$(actions | sed -E 's/q[0-9]{3}-//g')" = "$1" ]; }
gone() { [ ! -e "$1" ]; }

# The program as installed: bin/, libexec/ and share/quillet/ under one prefix. (Not with a "%"
# in it: GLib looks for the program before undoing the Exec key's "%%"; the unit test has it.)
prefix="$scratch/Q \"x\" \$y \\z"
mkdir -p "$prefix/bin" "$prefix/libexec" "$prefix/share" &&
  cp "$built/bin/quillet" "$prefix/bin/" && cp "$built/libexec/quillet-app" "$prefix/libexec/" &&
  cp -r "$built/share/quillet" "$prefix/share/quillet" &&
  python3 - "$prefix/share/quillet/Info.json" <<'PY' || { echo "FAIL: could not lay out the program"; exit 1; }
import json, sys
# Installed as the package installs it (a build tree's program keeps no menu).
info = json.load(open(sys.argv[1])); info["QuilletSystemInstall"] = True
json.dump(info, open(sys.argv[1], "w"))
PY
quillet=$prefix/bin/quillet
menu=$XDG_DATA_HOME/kio/servicemenus/org.quillet.Quillet.desktop
actions() { sed -n 's/^Actions=//p' "$menu" 2>/dev/null; }

"$quillet" defaults write fileTypeOrder -json '["py", "txt"]' >/dev/null
"$quillet" defaults write enabledFileTypeIDs -json '["txt", "py", "docx"]' >/dev/null
"$quillet" 2>"$scratch/app.log" & app=$!
check "written at launch, in the user's order" 'wait_for actions_are "py;_SEPARATOR_;txt;_SEPARATOR_;docx;"'
check "executable, as KIO requires of a user's service menu" '[ -x "$menu" ]'
# The Exec key's escapes: \" \$ \\ in the quoted argument, each backslash doubled again, % as %%.
exec_line="Exec=\"$scratch/Q \\\\\"x\\\\\" \\\\\$y \\\\\\\\z/bin/quillet\" create py --item %F"
check "starts the program it was launched from" 'grep -qxF -- "$exec_line" "$menu"'

# desktop-file-validate knows Type=Service but not what KIO allows in it (MimeType, Actions)
# nor KIO's separator mark; the same entry as an application must pass without a remark.
desktop-file-validate "$menu" >"$scratch/validate" 2>&1
unexpected=$(grep -v -e 'is only valid for type "Application"' \
  -e 'contains invalid action identifier "_SEPARATOR_"' \
  -e 'action group "Desktop Action [a-z0-9-]*" exists, but there is no matching action' "$scratch/validate")
check "validates but for KIO's own keys" '[ -z "$unexpected" ]' || cat "$scratch/validate"
mkdir -p "$scratch/as-application"
sed -e 's/^Type=Service$/Type=Application/' -e '/^ServiceTypes=/d' -e 's/_SEPARATOR_;//g' "$menu" \
  >"$scratch/as-application/menu.desktop"
check "validates as an application" '[ -z "$(desktop-file-validate "$scratch/as-application/menu.desktop" 2>&1)" ]'

# Each action as GLib launches an entry: %F expanded to the clicked items, the quoting undone.
run_action() {  # TYPE ITEM...
  local exec
  exec=$(sed -n "/^\[Desktop Action q[0-9]*-$1\]$/,/^\[/s/^Exec=//p" "$menu")
  printf '[Desktop Entry]\nType=Application\nName=%s\nExec=%s\n' "$1" "$exec" >"$scratch/action-$1.desktop"
  gio launch "$scratch/action-$1.desktop" "${@:2}" >>"$scratch/gio.log" 2>&1
}
folder="$scratch/work/it's a \"folder\" \$HOME \\ 100%"
mkdir -p "$folder/sub dir" && echo kept >"$folder/notes.txt"
run_action py "$folder"
check "a folder (or its background): the file goes in it" 'wait_for test -f "$folder/Untitled.py"'
run_action txt "$folder/notes.txt"
check "a file: the file goes beside it" 'wait_for test -f "$folder/Untitled.txt"'
check "the clicked file is untouched" '[ "$(cat "$folder/notes.txt")" = kept ]'
run_action docx "$folder/sub dir" "$folder/notes.txt"
check "a selection: the first item decides" 'wait_for test -s "$folder/sub dir/Untitled.docx"'
sleep 0.5
check "and only one file is made" '[ ! -e "$folder/Untitled.docx" ] && [ "$(ls "$folder/sub dir" | wc -l)" -eq 1 ]'

# Changes made while it runs reach the menu.
"$quillet" defaults write enabledFileTypeIDs -json '["md"]' >/dev/null
check "rewritten when the offered types change" 'wait_for actions_are "md;"'
"$quillet" defaults write fileTypeOrder -json '["md", "json"]' >/dev/null
"$quillet" defaults write enabledFileTypeIDs -json '["json", "md"]' >/dev/null
check "rewritten when the order changes" 'wait_for actions_are "md;_SEPARATOR_;json;"'
"$quillet" defaults write enabledFileTypeIDs -json '[]' >/dev/null
check "removed when no type is offered" 'wait_for gone "$menu"'
"$quillet" defaults delete enabledFileTypeIDs >/dev/null
check "back with every type" \
  'wait_for actions_are "md;_SEPARATOR_;json;_SEPARATOR_;txt;rtf;csv;_SEPARATOR_;yaml;xml;html;css;js;sh;py;swift;_SEPARATOR_;docx;xlsx;pptx;"'
check "the application kept running" 'kill -0 $app'
kill -TERM $app; wait $app
check "no failure logged" '! grep -e "Could not write the Dolphin" -e "Left the Dolphin" "$scratch/app.log"'
exit $fail
