#!/usr/bin/env bash
# Dolphin itself (KF5), as an ordinary account meets it (KIO checks a user's service menu is
# executable, a check root is spared): the running application keeps the "Create File" menu, puts
# its executable bit back when it was lost, and Dolphin shows the types in the user's order (KF5
# sorts actions by name); choosing one creates the file in the folder right-clicked and asks that
# Dolphin, by its own bus name, to show it selected.
# Needs root to make the throw-away account, else it skips; skips where Dolphin is not installed.
set -u
quillet=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
here=$(cd "$(dirname "$0")" && pwd)
self=$here/$(basename "$0")
if [ -z "${QUILLET_DOLPHIN_INNER:-}" ]; then
  . "$here/../../support/account-program.sh"
  [ "$(id -u)" -eq 0 ] || { echo "needs root to create a test account"; exit 77; }
  for tool in useradd userdel runuser dolphin xdotool; do
    command -v $tool >/dev/null || { echo "SKIP: no $tool"; exit 77; }
  done
  user=qld$$
  base=$(mktemp -d)
  chmod 755 "$base"
  cd "$base"
  trap 'userdel "$user" 2>/dev/null; rm -rf "$base"' EXIT
  useradd --home-dir "$base/home" --create-home --shell /bin/sh --no-user-group --gid nogroup "$user" || exit 77
  copy=$(account_program "$user" "$quillet" "$base/program") || exit 1
  mark_system_install "$base/program" || exit 1
  cp -R "$here/../../support" "$base/support" && cp "$self" "$base/test.sh" && chmod -R a+rX "$base/support" "$base/test.sh"
  runuser -u "$user" -- env QUILLET_DOLPHIN_INNER=1 PATH="$PATH" "$base/support/x11-session.sh" --wm -- \
    "$base/test.sh" "$copy"
  exit $?
fi

# Inside the account's own X session, with private folders.
fail=0
log=$QUILLET_SESSION_DIR/quillet.log
wait_for() {  # condition, what, tenths of a second
  for _ in $(seq 1 "${3:-100}"); do eval "$1" && return 0; sleep 0.1; done
  echo "FAIL: $2"; sed 's/^/  quillet: /' "$log"; fail=1; return 1
}
export XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true KDE_SESSION_VERSION=5 QT_QPA_PLATFORM=xcb QUILLET_LOG=stderr
mkdir -p "$HOME/Desktop" "$HOME/Work" "$XDG_CONFIG_HOME"
echo "XDG_DESKTOP_DIR=\"$HOME/Desktop\"" >"$XDG_CONFIG_HOME/user-dirs.dirs"
menu=$XDG_DATA_HOME/kio/servicemenus/org.quillet.Quillet.desktop
"$quillet" defaults write hasCompletedOnboarding -json true >/dev/null
"$quillet" defaults write fileTypeOrder -json '["py", "md", "txt", "docx", "json"]' >/dev/null
"$quillet" defaults write enabledFileTypeIDs -json '["py", "md", "txt", "docx"]' >/dev/null
"$quillet" >"$log" 2>&1 &
wait_for '[ -x "$menu" ]' "the application writes an executable service menu" || exit 1
# The bit lost (a copy, a restore); the next change of the offered types brings it back.
chmod 644 "$menu"
"$quillet" defaults write enabledFileTypeIDs -json '["py", "md", "txt", "docx", "json"]' >/dev/null
wait_for 'grep -q "create json" "$menu" && [ -x "$menu" ]' "the rewritten menu is executable again"

monitor=$QUILLET_SESSION_DIR/monitor.log
dbus-monitor --session "type='method_call',member='ShowItems'" >"$monitor" 2>&1 &
dolphin "$HOME/Work" >"$QUILLET_SESSION_DIR/dolphin.log" 2>&1 &
window=$(xdotool search --sync --onlyvisible --class dolphin 2>/dev/null | head -1)
[ -n "$window" ] || { echo "FAIL: Dolphin shows no window"; exit 1; }
sleep 1.5
# Right-click the empty folder view (the window's middle), then Create File, which is next to
# last, its submenu, and the item DOWNS below the first.
choose() {  # DOWNS
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove --sync $((X + WIDTH * 2 / 3)) $((Y + HEIGHT / 2)) click 3
  sleep 0.8
  xdotool key Up Up Right
  sleep 0.5
  for _ in $(seq 1 "$1"); do xdotool key Down; done
  xdotool key Return
}
choose 0
wait_for '[ -e "$HOME/Work/Untitled.py" ]' "the first item is the user's first type, Python (Dolphin's own order would put Word first)" 50
dolphin_pid=$(xdotool getwindowpid "$window")
wait_for 'grep -A3 "destination=org.kde.dolphin-$dolphin_pid " "$monitor" | grep -qF "\"file://$HOME/Work/Untitled.py\""' \
  "the Dolphin that was clicked is asked to show the new file" 30
choose 1
wait_for '[ -e "$HOME/Work/Untitled.md" ]' "the second item is Markdown" 50
other=$(ls "$HOME/Work" | grep -v -x -e Untitled.py -e Untitled.md)
[ -z "$other" ] || { echo "FAIL: unexpected files: $other"; fail=1; }

# The front folder: Dolphin tells it only in its title, with the full path when the user has
# chosen so. Two windows; whichever is in front names its folder.
# (The window above shows the folder's name alone: windows opened from now on show the path.)
front() { "$quillet" destination frontFinderFolder 2>/dev/null | head -1; }
printf '[General]\nShowFullPathInTitlebar=true\n' >>"$XDG_CONFIG_HOME/dolphinrc"
mkdir -p "$HOME/Other Place" "$HOME/Third"
dolphin --new-window "$HOME/Other Place" >>"$QUILLET_SESSION_DIR/dolphin.log" 2>&1 &
wait_for '[ "$(front)" = "$HOME/Other Place" ]' "a window in front names its folder" 80
# Taken as the search finds it: a second search while windows come and go may find nothing.
wait_for 'second=$(xdotool search --onlyvisible --name "^$HOME/Other Place" 2>/dev/null | head -1); [ -n "$second" ]' \
  "the other window is found" 50
dolphin --new-window "$HOME/Third" >>"$QUILLET_SESSION_DIR/dolphin.log" 2>&1 &
wait_for '[ "$(front)" = "$HOME/Third" ]' "the newer window in front names its folder" 80
xdotool windowactivate --sync "$second" 2>/dev/null
wait_for '[ "$(front)" = "$HOME/Other Place" ]' "the other window brought to the front names its folder" 50
xdotool windowactivate --sync "$window" 2>/dev/null
wait_for '[ "$(front)" = "$HOME/Desktop" ]' "a window whose title has no path names none: the Desktop" 50
[ $fail -eq 0 ] && echo "Dolphin's Create File menu: in the user's order, and creating in the folder clicked"
exit $fail
