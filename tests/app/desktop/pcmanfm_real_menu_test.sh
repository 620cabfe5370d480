#!/usr/bin/env bash
# PCManFM-Qt itself, as an ordinary account meets it: the running application keeps the "Create
# File" actions (and drops the action of a type switched off), PCManFM-Qt shows the types in the
# user's order, and choosing one creates the file in the folder right-clicked, or beside the file
# selected from the keyboard, which stays as it was. PCManFM-Qt's menus are not on the
# accessibility bus: they are driven with keys. With QUILLET_TEST_SCREENSHOTS set to a folder, the
# open menu is saved there as pcmanfm-menu.png.
# Needs root to make the throw-away account, else it skips; skips where PCManFM-Qt is not installed.
set -u
quillet=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
here=$(cd "$(dirname "$0")" && pwd)
self=$here/$(basename "$0")
if [ -z "${QUILLET_PCMANFM_INNER:-}" ]; then
  . "$here/../../support/account-program.sh"
  [ "$(id -u)" -eq 0 ] || { echo "needs root to create a test account"; exit 77; }
  for tool in useradd userdel runuser pcmanfm-qt xdotool; do
    command -v $tool >/dev/null || { echo "SKIP: no $tool"; exit 77; }
  done
  user=qlp$$
  base=$(mktemp -d)
  chmod 755 "$base"
  cd "$base"
  trap 'userdel "$user" 2>/dev/null; rm -rf "$base"' EXIT
  useradd --home-dir "$base/home" --create-home --shell /bin/sh --no-user-group --gid nogroup "$user" || exit 77
  copy=$(account_program "$user" "$quillet" "$base/program") || exit 1
  mark_system_install "$base/program" || exit 1
  cp -R "$here/../../support" "$base/support" && cp "$self" "$base/test.sh" && chmod -R a+rX "$base/support" "$base/test.sh"
  runuser -u "$user" -- env QUILLET_PCMANFM_INNER=1 PATH="$PATH" "$base/support/x11-session.sh" --wm -- \
    "$base/test.sh" "$copy"
  status=$?
  if [ -n "${QUILLET_TEST_SCREENSHOTS:-}" ] && [ -f "$base/home/pcmanfm-menu.png" ]; then
    cp "$base/home/pcmanfm-menu.png" "$QUILLET_TEST_SCREENSHOTS/"
  fi
  exit $status
fi

# Inside the account's own X session, with private folders.
fail=0
log=$QUILLET_SESSION_DIR/quillet.log
wait_for() {  # condition, what, tenths of a second
  for _ in $(seq 1 "${3:-100}"); do eval "$1" && return 0; sleep 0.1; done
  echo "FAIL: $2"; sed 's/^/  quillet: /' "$log"; fail=1; return 1
}
export XDG_CURRENT_DESKTOP=LXQt QT_QPA_PLATFORM=xcb QUILLET_LOG=stderr
work=$HOME/Work
mkdir -p "$HOME/Desktop" "$work" "$XDG_CONFIG_HOME"
echo "XDG_DESKTOP_DIR=\"$HOME/Desktop\"" >"$XDG_CONFIG_HOME/user-dirs.dirs"
echo kept >"$work/notes.txt"
actions=$XDG_DATA_HOME/file-manager/actions
"$quillet" defaults write hasCompletedOnboarding -json true >/dev/null
# Neither alphabetical nor the catalog's order (which starts with Text).
"$quillet" defaults write fileTypeOrder -json '["py", "md", "txt", "docx", "json"]' >/dev/null
"$quillet" defaults write enabledFileTypeIDs -json '["py", "md", "txt", "docx", "json"]' >/dev/null
"$quillet" >"$log" 2>&1 &
wait_for '[ -f "$actions/org.quillet.Quillet.desktop" ] && [ -f "$actions/org.quillet.Quillet-json.desktop" ]' \
  "the application writes the menu and an action per type" || exit 1
"$quillet" defaults write enabledFileTypeIDs -json '["py", "md", "txt", "docx"]' >/dev/null
wait_for '[ ! -e "$actions/org.quillet.Quillet-json.desktop" ] && ! grep -q json "$actions/org.quillet.Quillet.desktop"' \
  "the action of a type switched off goes"

monitor=$QUILLET_SESSION_DIR/monitor.log
dbus-monitor --session "type='method_call',member='ShowItems'" >"$monitor" 2>&1 &
# PCManFM-Qt reads the actions when it starts.
pcmanfm-qt "$work" >"$QUILLET_SESSION_DIR/pcmanfm.log" 2>&1 &
window=$(xdotool search --sync --onlyvisible --class pcmanfm-qt 2>/dev/null | head -1)
[ -n "$window" ] || { echo "FAIL: PCManFM-Qt shows no window"; exit 1; }
sleep 1.5
# Right-click the empty lower right of the folder view: Create File is next to last in the
# background's menu, and its first item is chosen on opening it. (Not "mousemove --sync": it waits
# for a move, and the pointer is already there the second time.)
right_click_background() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + WIDTH * 85 / 100)) $((Y + HEIGHT * 85 / 100)) click 3
  sleep 0.8
}
background_menu() {
  right_click_background
  xdotool key Up Up Right
  sleep 0.5
}
choose() {  # DOWNS
  for _ in $(seq 1 "$1"); do xdotool key Down; done
  xdotool key Return
}
background_menu
command -v import >/dev/null && import -window root "$(getent passwd "$(id -u)" | cut -d: -f6)/pcmanfm-menu.png"
choose 0
wait_for '[ -e "$work/Untitled.py" ]' \
  "background → Create File → the first item is the user's first type, Python, made in the folder" 50
# The PCManFM-Qt clicked in shows the new file, asked on its own connection.
shown_by() {  # the process whose connection was asked to show FILE
  destination=$(grep -B3 -F "\"file://$1\"" "$monitor" | grep -o 'destination=[^ ]*' | tail -1 | cut -d= -f2)
  [ -n "$destination" ] && dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.GetConnectionUnixProcessID "string:$destination" | awk '/uint32/ {print $2}'
}
wait_for '[ "$(shown_by "$work/Untitled.py")" = "$(xdotool getwindowpid "$window")" ]' \
  "PCManFM-Qt itself is asked to show the new file" 30
background_menu
choose 1
wait_for '[ -e "$work/Untitled.md" ]' "the second item is Markdown" 50
# Its window's folder cannot be known (the title is the folder's name alone): in front, it gives
# the Desktop, not the folder of some window beneath.
front=$("$quillet" destination frontFinderFolder 2>/dev/null | head -1)
[ "$front" = "$HOME/Desktop" ] || { echo "FAIL: with PCManFM-Qt in front the destination is \"$front\""; fail=1; }

# A file, selected from the keyboard (a right-click on the background gives the view the keyboard;
# End then Home selects the first item, notes.txt, as typing would also filter the view): Create
# File is third from last in a file's menu.
right_click_background
xdotool key Escape End Home
sleep 0.3
xdotool key Menu
sleep 0.8
xdotool key Up Up Up Right
sleep 0.5
choose 2
wait_for '[ -e "$work/Untitled.txt" ]' "a file → Create File → Text creates Untitled.txt beside it" 50
[ "$(cat "$work/notes.txt")" = kept ] || { echo "FAIL: the clicked file changed"; fail=1; }
other=$(ls "$work" | grep -v -x -e notes.txt -e Untitled.py -e Untitled.md -e Untitled.txt)
[ -z "$other" ] || { echo "FAIL: unexpected files: $other"; fail=1; }
[ $fail -eq 0 ] && echo "PCManFM-Qt's Create File menu: in the user's order, creating where it was clicked"
exit $fail
