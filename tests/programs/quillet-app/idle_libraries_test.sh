#!/usr/bin/env bash
# What the resident application leaves unloaded until it is needed: the update stack (Qt Network,
# OpenSSL, libarchive), GIO, the MIME database and the conversion threads of the icons. Runs the
# application as it starts at login, in the tray with no window, in tests/support/x11-session.sh
# --wm with a tray host, and reads its mappings and threads once it has started; then opens
# the main window, which is the first to get the application's icon.
set -u
quillet=$1
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
command -v trayer >/dev/null || { echo "skipped: no tray host (trayer)"; exit 77; }
. "$(dirname "$0")/../../support/x11-wait.sh"
work=$(mktemp -d)
pid= tray=
trap '[ -n "$pid" ] && kill -KILL $pid 2>/dev/null; kill $tray 2>/dev/null; rm -rf "$work"' EXIT
trayer --edge top --align right --widthtype request --height 24 --SetDockType false --transparent false \
  >/dev/null 2>&1 &
tray=$!
await_window 10 "the tray host's window" --class trayer >/dev/null || exit 1
export QUILLET_LOG=stderr
"$quillet" defaults write appPresence -json '"menuBarOnly"' || exit 1
"$quillet" defaults write hasCompletedOnboarding -json true || exit 1

"$quillet" 2>"$work/log" &
pid=$!
for _ in $(seq 1 100); do grep -q "Quillet+ started" "$work/log" && break; sleep 0.1; done
check "started" 'grep -q "Quillet+ started" "$work/log"'
check "in the tray" '! grep -q "The desktop shows no tray" "$work/log"'
sleep 1  # what the first turns of the event loop do counts too
cp "/proc/$pid/maps" "$work/maps"
for t in /proc/$pid/task/*; do cat "$t/comm"; done >"$work/threads"
check "the application runs with Qt" 'grep -q "libQt6Widgets" "$work/maps"'
for library in libQt6Network libcrypto libssl libarchive libgio-2.0 libgobject-2.0 mime.cache; do
  check "$library is not loaded" '! grep -q "/$library" "$work/maps"'
done
check "no pool threads (the icons' conversions)" '! grep -q "Thread (pooled)" "$work/threads"'
# The application's icon goes on the first window that opens, not on the tray icon's own window.
has_icon() { xprop -id "$1" _NET_WM_ICON 2>/dev/null | grep -q "_NET_WM_ICON(CARDINAL) ="; }
tray_window=$(await_window 5 "the tray icon's window" --pid $pid)
check "the tray icon's window carries no icon property" '[ -n "$tray_window" ] && ! has_icon "$tray_window"'
"$quillet" 2>/dev/null  # a second launch opens the main window
main=$(await_window 20 "the main window" --onlyvisible --pid $pid --name "Quillet\+")
check "the main window carries the application's icon" '[ -n "$main" ] && wait_until 5 "the icon property" has_icon "$main"'
kill -TERM $pid; wait $pid
pid=
exit $fail
