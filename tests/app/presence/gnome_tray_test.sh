#!/usr/bin/env bash
# The tray on GNOME, which has one only through its indicator extension, as a user meets it:
# - without the extension no tray is shown, so the first launch keeps Quillet+ in the taskbar and
#   the presence card then says the desktop shows no tray (its words are checked by the widget tests);
# - with it the icon shows in the top bar, a click opens its menu, and Create on Desktop ▸
#   Markdown creates the file.
# Runs inside tests/support/wayland/session.sh gnome; clicks land where the headless 1280x800 top
# bar puts the icon while the input helper's own indicator shows beside it.
set -u
quillet=$1
log=$QUILLET_SESSION_DIR/logs/quillet.log
fail=0
wait_for() {  # condition, what, tenths of a second
  for _ in $(seq 1 "${3:-100}"); do eval "$1" && return 0; sleep 0.1; done
  echo "FAIL: $2"; echo "--- quillet log"; cat "$log"; fail=1; return 1
}
watcher() {
  busctl --user get-property org.kde.StatusNotifierWatcher /StatusNotifierWatcher org.kde.StatusNotifierWatcher "$1" 2>/dev/null
}
stop_quillet() {
  kill "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}

# Without the extension: no tray, the taskbar.
QUILLET_LOG=stderr "$quillet" >"$log" 2>&1 &
app=$!
wait_for 'grep -q "started (platform" "$log"' "Quillet+ starts" || exit 1
sleep 1
presence=$("$quillet" defaults read appPresence 2>/dev/null)
[ "$presence" = "\"dockOnly\"" ] || { echo "FAIL: without a tray the first launch chose $presence, not \"dockOnly\""; fail=1; }
stop_quillet "$app"
"$quillet" defaults delete appPresence >/dev/null 2>&1

# With the extension enabled: its watcher and host come up, and the first launch takes the tray.
gsettings set org.gnome.shell enabled-extensions "['ubuntu-appindicators@ubuntu.com']"
wait_for '[ "$(watcher IsStatusNotifierHostRegistered)" = "b true" ]' "the indicator extension hosts a tray" 100 || exit 1
QUILLET_LOG=stderr "$quillet" >"$log" 2>&1 &
app=$!
wait_for '[ "$(watcher RegisteredStatusNotifierItems)" != "as 0" ]' "the Quillet+ icon is registered with the tray" || exit 1
sleep 1
press 1  # the shell starts in the overview
sleep 0.5
# The icon (left of the input helper's indicator), then Create on Desktop, which opens in place,
# then Markdown, its second item.
/usr/bin/python3 "$(dirname "$0")/../../support/wayland/mutter-input.py" \
  click:1135,15 sleep:0.8 click:1122,98 sleep:0.8 click:1078,206 >/dev/null
wait_for '[ -e "$HOME/Desktop/Untitled.md" ]' "Create on Desktop ▸ Markdown in the tray menu creates Untitled.md"
stop_quillet "$app"
exit $fail
