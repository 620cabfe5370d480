#!/usr/bin/env bash
# A GTK file manager itself (Nautilus, Thunar, Caja, Nemo) with our module, as an ordinary account meets it:
# right-click a folder's background → Create File shows the offered types in the user's order
# (ITEMS: the submenu's item names, category headers included where it shows them), and choosing
# Markdown creates Untitled.md in that folder (through the quillaxe: link, as from Nautilus);
# right-click a file → Create File → Text creates beside it; the user's template (~/Templates/
# Letter.odt, after the built-in types) creates Letter.odt, byte for byte.
# These file managers load modules only from their own folder (Debian's Thunar compiles its
# THUNARX_DIRS out), so the built module is put there for the test, under a name no package uses,
# and taken away after. Needs root for that and for the throw-away account, else it skips.
# With MARKS set to "marks" the folder of the front window is known (Nautilus tells it on its own
# bus name; the Caja and Nemo modules mark each window with its folder), and it is "the file
# manager's folder" (quillet destination frontFinderFolder).
# Usage: file_manager_menu_test.sh QUILLET PROGRAM MODULE MODULE_FOLDER ACCESSIBLE_NAME "ITEMS" [MARKS]
set -u
here=$(cd "$(dirname "$0")" && pwd)
self=$here/$(basename "$0")

if [ -z "${QUILLET_FILE_MANAGER_INNER:-}" ]; then
  quillet=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
  program=$2 plugin=$(cd "$(dirname "$3")" && pwd)/$(basename "$3") folder=$4
  . "$here/../support/account-program.sh"
  [ "$(id -u)" -eq 0 ] || { echo "needs root to install the module and create a test account"; exit 77; }
  for tool in useradd userdel runuser "$program" xdotool; do
    command -v $tool >/dev/null || { echo "SKIP: no $tool"; exit 77; }
  done
  # The folder comes with the first module a package installs; made here when none has yet.
  made=
  if [ ! -d "$folder" ]; then
    made=$folder
    while [ ! -d "$(dirname "$made")" ]; do made=$(dirname "$made"); done
    mkdir -p "$folder" || exit 77
  fi
  installed=$folder/quillet-test-$$-$(basename "$plugin")
  user=qlf$$
  base=$(mktemp -d)
  chmod 755 "$base"
  cd "$base"
  trap 'rm -f "$installed"; [ -n "$made" ] && rm -r "$made"; userdel "$user" 2>/dev/null; rm -rf "$base"' EXIT
  # A packaged module would offer a second menu beside the one under test.
  [ -e "$folder/$(basename "$plugin")" ] && { echo "SKIP: a Quillet+ module is installed in $folder"; exit 77; }
  cp "$plugin" "$installed" && chmod 644 "$installed" || exit 1
  useradd --home-dir "$base/home" --create-home --shell /bin/sh --no-user-group --gid nogroup "$user" || exit 77
  copy=$(account_program "$user" "$quillet" "$base/program") || exit 1
  cp -R "$here/../support" "$base/support" && cp "$self" "$base/test.sh" && chmod -R a+rX "$base/support" "$base/test.sh"
  runuser -u "$user" -- env QUILLET_FILE_MANAGER_INNER=1 PATH="$PATH" "$base/support/x11-session.sh" --wm --accessibility -- \
    "$base/test.sh" "$copy" "$program" "$5" "$6" "${7:-}"
  exit $?
fi

# Inside the account's own X session.
quillet=$1 program=$2 name=$3 expected=$4 marks=${5:-}
fail=0
log=$QUILLET_SESSION_DIR/file-manager.log
wait_for() {  # condition, what, tenths of a second
  for _ in $(seq 1 "${3:-100}"); do eval "$1" && return 0; sleep 0.1; done
  echo "FAIL: $2"; grep -v GVFS "$log" | sed "s/^/  $program: /" | tail -20; fail=1; return 1
}
# The menu offers folders under the account's home (and the Desktop): the account's own home, as
# in the user database, whatever HOME the session gave.
home=$(getent passwd "$(id -u)" | cut -d: -f6)
work=$home/Work
mkdir -p "$work" "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME" "$home/Templates"
echo kept >"$work/notes.txt"
head -c 20000 /dev/urandom >"$home/Templates/Letter.odt"
# The link a menu click opens reaches this program, as the installed desktop entry arranges.
printf '[Desktop Entry]\nType=Application\nName=Quillet+\nExec=%s %%u\nMimeType=x-scheme-handler/quillaxe;\nNoDisplay=true\n' \
  "$quillet" >"$XDG_DATA_HOME/applications/org.quillet.Quillet.desktop"
printf '[Default Applications]\nx-scheme-handler/quillaxe=org.quillet.Quillet.desktop\n' >"$XDG_CONFIG_HOME/mimeapps.list"
"$quillet" defaults write fileTypeOrder -json '["py", "md", "txt"]' >/dev/null
"$quillet" defaults write enabledFileTypeIDs -json '["txt", "md", "py"]' >/dev/null

# Another file manager holds the shared FileManager1 name: the new file must still be shown by
# the one clicked in, asked under its own connection.
"$(dirname "$0")/support/fake_file_manager.py" '{}' --name org.freedesktop.FileManager1 >"$QUILLET_SESSION_DIR/other.out" 2>&1 &
wait_for 'grep -q ready "$QUILLET_SESSION_DIR/other.out"' "a stand-in holds FileManager1" 50 || exit 1
monitor=$QUILLET_SESSION_DIR/monitor.log
dbus-monitor --session "type='method_call',member='ShowItems'" >"$monitor" 2>&1 &

unset NO_AT_BRIDGE GTK_A11Y
export QUILLET_LOG=stderr XDG_CURRENT_DESKTOP=XFCE
"$program" "$work" >"$log" 2>&1 &
window=$(xdotool search --sync --onlyvisible --class "$name" 2>/dev/null | head -1)
[ -n "$window" ] || { echo "FAIL: $name shows no window"; exit 1; }
sleep 1.5
right_click() {  # X Y within the window, in per cent of its size
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove --sync $((X + WIDTH * $1 / 100)) $((Y + HEIGHT * $2 / 100)) click 3
  sleep 0.8
}
menu() { python3 "$(dirname "$0")/support/accessible_menu.py" "$name" "$@"; }

if [ "$marks" = marks ]; then
  front=$("$quillet" destination frontFinderFolder 2>/dev/null | head -1)
  [ "$front" = "$work" ] || { echo "FAIL: the file manager's folder is \"$front\", not $work"; fail=1; }
fi

# The background: the folder itself, the types in the user's order.
right_click 85 85
items=$(menu --items "Create File" | tr '\n' ' ')
[ "$items" = "$expected " ] || { echo "FAIL: Create File lists \"$items\", not \"$expected\""; fail=1; }
menu "Markdown" || fail=1
wait_for '[ -e "$work/Untitled.md" ]' "background → Create File → Markdown creates Untitled.md in the folder" 80
grep -q "Forwarded create request" "$log" || { echo "FAIL: the module did not hand the request on"; fail=1; }
shown_by() {  # the process whose connection was asked to show FILE
  destination=$(grep -B3 -F "\"file://$1\"" "$monitor" | grep -o 'destination=[^ ]*' | tail -1 | cut -d= -f2)
  [ -n "$destination" ] && dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.GetConnectionUnixProcessID "string:$destination" | awk '/uint32/ {print $2}'
}
program_pid=$(xdotool getwindowpid "$window")
wait_for '[ "$(shown_by "$work/Untitled.md")" = "$program_pid" ]' "$name itself is asked to show the new file" 50 || { cat "$monitor"; echo "pid $program_pid"; env | grep GIO; }

# A file (the first, notes.txt, selected from the keyboard): beside it, the file untouched.
# (A right-click on the background first gives the view the keyboard.)
right_click 85 85
xdotool key Escape Home Menu
sleep 0.8
menu "Create File" "Text" || fail=1
wait_for '[ -e "$work/Untitled.txt" ]' "a file → Create File → Text creates Untitled.txt beside it" 80
grep -q "Building menu for kind=contextualMenuForItems" "$log" || { echo "FAIL: no menu was asked for the file"; fail=1; }
[ "$(cat "$work/notes.txt")" = kept ] || { echo "FAIL: the clicked file changed"; fail=1; }
# The template, new to the settings and so offered although the user chose three types.
right_click 85 85
menu "Create File" "Letter" || fail=1
wait_for '[ -e "$work/Letter.odt" ]' "background → Create File → Letter creates Letter.odt" 80
cmp -s "$work/Letter.odt" "$home/Templates/Letter.odt" || { echo "FAIL: Letter.odt is not the template's copy"; fail=1; }
[ $fail -eq 0 ] && echo "$name's Create File menu: in the user's order, creating where it was clicked"
exit $fail
