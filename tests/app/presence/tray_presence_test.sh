#!/usr/bin/env bash
# The tray icon under a real XEmbed tray (trayer): shown for menuBarOnly, absent for dockOnly (and
# a stored dockAndMenuBar, which loads as dockOnly) and in the UI test mode, following a presence
# another process writes; its menu opens on a right click and creates the type chosen in it, and a
# template put into the Templates folder while Quillet+ runs is in the menu a moment later.
# Runs inside tests/support/x11-session.sh --wm. QUILLET_SCREENSHOT=FILE keeps a picture of the open menu.
set -u
quillet=$1
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
for tool in trayer xdotool xwininfo; do command -v $tool >/dev/null || { echo "$tool missing"; exit 77; }; done
work=$(mktemp -d)
pid=
tray=
viewer=
trap 'kill -KILL $tray $pid $viewer 2>/dev/null; rm -rf "$work"' EXIT
export QUILLET_LOG=stderr
. "$(dirname "$0")/../../support/x11-wait.sh"

# trayer's "panel" window holds the docked icons. It is looked up once per tray: a search can come
# back empty while other windows come and go under it (the new instance maps and unmaps its own).
tray_id=
tray_window() { echo "$tray_id"; }
tray_up() { tray_id=$(xdotool search --name '^panel$' 2>/dev/null | head -1); [ -n "$tray_id" ]; }
# Sets X, Y, WIDTH and HEIGHT to the tray's.
tray_geometry() {
  local id geometry
  id=$(tray_window)
  [ -n "$id" ] || return 1
  geometry=$(xdotool getwindowgeometry --shell "$id" 2>/dev/null) || return 1
  case $geometry in *WIDTH=*) eval "$geometry" ;; *) return 1 ;; esac
}
# The icons docked in the tray: trayer reparents each one below its own window.
# (xwininfo without a window waits for a click, so it is never run without one.)
docked_icons() {
  if [ -z "$tray_id" ]; then echo 0; return; fi
  xwininfo -tree -id "$tray_id" 2>/dev/null | grep -c '"quillet"'
}

run_with() {  # presence, then extra environment
  local presence=$1
  shift
  # A fresh tray for each run: trayer does not always take a new icon after one went away.
  if [ -n "$tray" ]; then kill $tray; wait $tray 2>/dev/null; fi
  tray_id=
  trayer --edge top --align right --widthtype request --height 24 --SetDockType false --transparent false &
  tray=$!
  wait_until 20 "the tray is up" tray_up || exit 77
  "$quillet" defaults write appPresence -json "\"$presence\""
  env "$@" "$quillet" 2>"$work/$presence.log" &
  pid=$!
  wait_until 20 "Quillet+ started with $presence" grep -q "Quillet+ started" "$work/$presence.log"
}
stop_it() { kill -TERM $pid; wait $pid; pid=; }
icon_docked() { [ "$(docked_icons)" -ge 1 ]; }

# Reveals of new files go to a stand-in file manager: without one, a folder window would be
# opened instead, and outlive the test (and, appearing late, close the menu a later step opens).
# It takes the shared name the reveals are sent to.
"$(dirname "$0")/../../support/fake_file_manager.py" '{}' --name org.freedesktop.FileManager1 >"$work/viewer.out" 2>&1 &
viewer=$!
# The session's own Desktop, named absolutely, so nothing lands in the real account's.
mkdir -p "$HOME/Desktop"
# The Templates folder likewise; it is made only once Quillet+ runs.
printf 'XDG_DESKTOP_DIR="%s/Desktop"\nXDG_TEMPLATES_DIR="%s/Templates"\n' "$HOME" "$HOME" >"$XDG_CONFIG_HOME/user-dirs.dirs"
# No welcome window: it would take the focus from the menu, and close it, when it maps late.
"$quillet" defaults write hasCompletedOnboarding -json true
# Only Markdown offered, so the keyboard path through the menu is known.
"$quillet" defaults write enabledFileTypeIDs -json '["md"]'
for presence in menuBarOnly; do
  run_with $presence
  check "$presence docks an icon in the tray" 'wait_until 10 "the icon docked" icon_docked'
  if [ $presence = menuBarOnly ] && icon_docked; then
    wait_until 10 "the tray's geometry" tray_geometry || { echo "FAIL: the tray's place is known"; exit 1; }
    # The one icon fills the tray; its middle is the tray's.
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 3
    # The menu: a pop-up of ours (no window manager frame) at least 100 pixels high.
    menu_shown() (
      for w in $(xdotool search --onlyvisible --class quillet 2>/dev/null); do
        info=$(xwininfo -all -id "$w" 2>/dev/null)
        grep -q "Override Redirect State: yes" <<<"$info" && grep -q "Height: [1-9][0-9][0-9]" <<<"$info" && exit 0
      done
      exit 1
    )
    check "a right click opens the menu" 'wait_until 10 "the menu open" menu_shown'
    if [ -n "${QUILLET_SCREENSHOT:-}" ] && command -v import >/dev/null; then
      import -window root "$QUILLET_SCREENSHOT"
    fi
    # "Quick Create...", then "Create on Desktop" ▸ "Markdown" (the header above it is skipped).
    xdotool key --delay 150 Down Down Right Return
    check "choosing Markdown creates it on the Desktop" 'wait_until 10 "Untitled.md" test -f "$HOME/Desktop/Untitled.md"'
    # A template added now, with the menu built already: no restart, no setting touched.
    mkdir -p "$HOME/Templates"
    head -c 5000 /dev/urandom >"$HOME/Templates/Letter.odt"
    # It looks four times a second; the second second is for a machine busy with other tests.
    check "the running Quillet+ sees the template at once" \
      'wait_until 2 "the template seen" grep -q "holds 1 templates" "$work/$presence.log"'
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 3
    check "the menu opens again" 'wait_until 10 "the menu open" menu_shown'
    # "Create on Desktop" ▸ Markdown, then past the "Templates" header to "Letter".
    xdotool key --delay 250 Down Down Right
    sleep 1  # the submenu opens with Markdown chosen
    xdotool key --delay 250 Down Return
    check "the new template is in the menu and creates its copy" 'wait_until 10 "Letter.odt" test -f "$HOME/Desktop/Letter.odt" && cmp -s "$HOME/Desktop/Letter.odt" "$HOME/Templates/Letter.odt"'
  fi
  stop_it
done

# A stored "dockAndMenuBar" is no longer offered and loads as dockOnly.
for presence in dockOnly dockAndMenuBar; do
  run_with $presence
  sleep 1
  check "$presence (stored) docks no icon" '[ "$(docked_icons)" -eq 0 ]'
  stop_it
done
# Written by another process while it runs: the icon comes and goes with the setting. The
# settings are held in memory by then, their database closed and SQLite unloaded.
run_with dockOnly
sqlite_gone() { grep -q quillet-app "/proc/$pid/maps" && ! grep -q libsqlite3 "/proc/$pid/maps"; }
check "the settings rest, without SQLite loaded" 'wait_until 10 "SQLite unloaded" sqlite_gone'
"$quillet" defaults write appPresence -json '"menuBarOnly"'
check "a presence written elsewhere docks the icon" 'wait_until 10 "the icon docked" icon_docked'
"$quillet" defaults write appPresence -json '"dockOnly"'
check "and takes it away again" 'wait_until 10 "the icon gone" eval "[ \$(docked_icons) -eq 0 ]"'
stop_it
run_with menuBarOnly QUILLET_UI_TESTING=1
sleep 1
check "the UI test mode docks no icon" '[ "$(docked_icons)" -eq 0 ]'
stop_it
exit $fail
