#!/usr/bin/env bash
# Quillet+ in a real Wayland desktop session, as a user meets it:
# - it shows its windows through XWayland and holds its shortcuts through the desktop's way;
# - with one Nautilus window open, "the file manager's folder" is that window's folder;
# - Ctrl+Alt+M (set from the command line) pressed through the compositor creates a Markdown file
#   on the Desktop, which opens Nautilus in front;
# - Ctrl+Alt+N then opens the Quick Create panel over Nautilus, which takes "md" and Return at
#   once; Escape closes it.
# Runs inside tests/support/wayland/session.sh; on GNOME with KDE's portal backend installed the
# portal fails and GNOME's key bindings take over.
set -u
quillet=$1
case $QUILLET_SESSION_KIND in  # the way the log names: KDE's portal, else GNOME's key bindings
  kde) way=portal ;;
  *) way=gnome-keybindings ;;
esac
log=$QUILLET_SESSION_DIR/logs/quillet.log
fail=0
ms() { date +%s%3N; }
wait_for() {  # condition, what, tenths of a second
  for _ in $(seq 1 "${3:-100}"); do eval "$1" && return 0; sleep 0.1; done
  echo "FAIL: $2"; echo "--- quillet log"; cat "$log"; fail=1; return 1
}
registered() {
  case $way in
    portal) grep -q "Registered $1 hot key" "$log" ;;
    *) grep -q "Desktop key bindings written: $2" "$log" ;;
  esac
}
panel_shown() { xdotool search --onlyvisible --name '^Create File$' >/dev/null 2>&1; }
nautilus_windows() {
  busctl --user get-property org.gnome.Nautilus /org/freedesktop/FileManager1 \
    org.freedesktop.FileManager1 OpenWindowsWithLocations 2>/dev/null | awk '{ print $2 }'
}

start=$(ms)
QUILLET_LOG=stderr "$quillet" >"$log" 2>&1 &
wait_for 'registered Ctrl+Alt+N 1' "Ctrl+Alt+N is registered through $way" || exit 1
echo "launch -> Ctrl+Alt+N registered: $(( $(ms) - start )) ms"
grep -q "Global shortcuts through $way" "$log" || { echo "FAIL: the log names another way"; cat "$log"; exit 1; }
grep -q "started (platform xcb)" "$log" || { echo "FAIL: the windows are not on XWayland"; cat "$log"; exit 1; }

# The file manager's only window names the folder.
mkdir -p "$HOME/Projects"
gdbus call --session -d org.freedesktop.FileManager1 -o /org/freedesktop/FileManager1 \
  -m org.freedesktop.FileManager1.ShowFolders "['file://$HOME/Projects']" "" >/dev/null
wait_for '[ "$(nautilus_windows)" = 1 ]' "Nautilus shows its window" 150
folder=$("$quillet" destination frontFinderFolder 2>&1 | head -1)
[ "$folder" = "$HOME/Projects" ] || { echo "FAIL: the file manager's folder is \"$folder\", not $HOME/Projects"; fail=1; }

"$quillet" shortcut set md Ctrl+Alt+M >/dev/null || { echo "FAIL: quillet shortcut set"; exit 1; }
wait_for 'registered Ctrl+Alt+M 2' "Ctrl+Alt+M is registered after the change" || exit 1
sleep 0.3
press 29+56+50
wait_for '[ -e "$HOME/Desktop/Untitled.md" ]' "Ctrl+Alt+M creates Untitled.md on the Desktop"
# The new file is shown in a second Nautilus window, which comes to the front.
wait_for '[ "$(nautilus_windows)" = 2 ]' "Nautilus shows the new file" 150
sleep 1

# What the input helper itself takes for a press (a Shift tap), to tell it apart from Quillet+'s part.
helper=$(ms); press 42; helper=$(( $(ms) - helper ))
pressed=$(ms)
press 29+56+49
if wait_for panel_shown "Ctrl+Alt+N shows the panel over Nautilus" 50; then
  total=$(( $(ms) - pressed ))
  echo "Ctrl+Alt+N -> panel mapped: $total ms, of which the input helper's press took $helper ms"
  press 50 32 28
  wait_for '[ -e "$HOME/Desktop/Untitled 2.md" ]' "the panel takes md and Return at once and creates Untitled 2.md"
  # It stays with its status line; the new file opened in Nautilus behind it.
fi

press 29+56+49
if wait_for panel_shown "Ctrl+Alt+N shows the panel again" 50; then
  press 1
  wait_for '! panel_shown' "Escape closes the panel"
fi
[ "$(ls "$HOME/Desktop" | wc -l)" = 2 ] || { echo "FAIL: the Desktop holds more than the two files:"; ls "$HOME/Desktop"; fail=1; }
exit $fail
