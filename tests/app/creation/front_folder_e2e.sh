#!/usr/bin/env bash
# The front file manager folder read from real Nautilus windows, through `quillet destination
# frontFinderFolder`, in a private X session (Xvfb, openbox, session bus).
# Usage: front_folder_e2e.sh QUILLET_BINARY
set -u
quillet=$1
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${QUILLET_SESSION_DIR:-}" ]; then
  command -v nautilus >/dev/null || { echo "SKIP: nautilus is not installed"; exit 77; }
  exec "$here/../../support/x11-session.sh" --wm -- "$0" "$@"
fi

. "$here/../../support/x11-wait.sh"
fail=0
work=$(mktemp -d "${TMPDIR:-/tmp}/quillet-front-folder.XXXXXX")
reports="$work/Reports Q"
second="$work/Second"
mkdir -p "$reports" "$second"
desktop="$(getent passwd "$(id -u)" | cut -d: -f6)/Desktop"
nautilus_pid=
other_pid=
fake_pid=
fake_window_pid=
finish() {
  nautilus -q >/dev/null 2>&1
  [ -n "$nautilus_pid" ] && kill "$nautilus_pid" 2>/dev/null
  [ -n "$other_pid" ] && kill "$other_pid" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT

locations() {
  gdbus call --session --dest org.gnome.Nautilus --object-path /org/freedesktop/FileManager1 \
    --method org.freedesktop.DBus.Properties.Get org.freedesktop.FileManager1 OpenWindowsWithLocations 2>/dev/null
}
# The window of this title that the window manager manages (lists in its stacking order).
managed_window() {
  local id
  for id in $(xdotool search --name "^$1\$" 2>/dev/null); do
    window_stacking | grep -qx "$id" && { echo "$id"; return 0; }
  done
  return 1
}
# The file manager lists a window on the folder, and that window is shown, on top, with the
# object path that names it on the bus: everything the program reads.
window_shown_on_top() {
  local uri=$1 title=$2 w
  locations | grep -qF "'$uri'" || return 1
  w=$(managed_window "$title") || return 1
  window_viewable "$w" && window_property "$w" _GTK_WINDOW_OBJECT_PATH && window_on_top "$w"
}
wait_for_window() {
  if wait_until 30 "a Nautilus window on $1 shown on top" window_shown_on_top "file://${1// /%20}" "$2"; then
    return 0
  fi
  echo "FAIL: no Nautilus window on $1 appeared"
  echo "  locations: $(locations)"
  for w in $(xdotool search --class '^org.gnome.Nautilus$' 2>/dev/null); do echo "  window $w: $(xdotool getwindowname "$w")"; done
  sed 's/^/  nautilus: /' "$work/nautilus.log" | tail -n 20
  fail=1
  return 1
}
# Runs the command and compares its two lines.
expect() {
  local what=$1 folder=$2 name=$3 out
  out=$("$quillet" destination frontFinderFolder 2>"$work/stderr")
  if [ "$out" != "$(printf '%s\n%s' "$folder" "$name")" ]; then
    echo "FAIL: $what: expected '$folder' / '$name', got:"; echo "$out" | sed 's/^/  /'
    sed 's/^/  stderr: /' "$work/stderr"
    fail=1
  else
    echo "ok: $what"
  fi
}
expect_fallback() {
  expect "$1" "$desktop" "Desktop"
  grep -q "using the Desktop" "$work/stderr" || { echo "FAIL: $1: no fallback note"; fail=1; }
}

expect_fallback "no file manager window"

# A first start of Nautilus migrates old starred-file data through a helper process while it
# loads folders; the stamp says that is done, which keeps the start quick and even.
mkdir -p "$XDG_DATA_HOME/nautilus" && touch "$XDG_DATA_HOME/nautilus/tracker2-migration-complete"
# Another file manager (Thunar, say) holds the shared FileManager1 name and has no windows to
# tell of: Nautilus is asked under its own name.
"$here/../../support/fake_file_manager.py" '{}' --name org.freedesktop.FileManager1 >"$work/other.out" 2>&1 &
other_pid=$!
wait_until 10 "another file manager holding FileManager1" grep -q ready "$work/other.out" || fail=1
nautilus --new-window "$reports" >"$work/nautilus.log" 2>&1 &
nautilus_pid=$!
if wait_for_window "$reports" "Reports Q"; then
  expect "one window" "$reports" "Reports Q"
  env -u DISPLAY "$quillet" destination frontFinderFolder >"$work/out" 2>/dev/null
  [ "$(head -n 1 "$work/out")" = "$desktop" ] && echo "ok: no display" || { echo "FAIL: no display"; fail=1; }
  # With the file manager running, a bus that does not answer still gives nothing at once.
  env DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent "$quillet" destination frontFinderFolder \
    >"$work/out" 2>/dev/null
  [ "$(head -n 1 "$work/out")" = "$desktop" ] && echo "ok: unreachable bus" || { echo "FAIL: unreachable bus"; fail=1; }

  xmessage -name quillet-e2e "another program in front" >/dev/null 2>&1 &
  message_pid=$!
  message=$(await_window 10 "the other program's window" --classname '^quillet-e2e$')
  wait_until 10 "the other program's window on top" window_on_top "$message" || fail=1
  expect "another program's window above it" "$reports" "Reports Q"
  kill "$message_pid" 2>/dev/null; wait "$message_pid" 2>/dev/null

  nautilus --new-window "$second" >>"$work/nautilus.log" 2>&1
  if wait_for_window "$second" "Second"; then
    expect "the newer window is in front" "$second" "Second"
    reports_window=$(await_window 5 "the Reports Q window" --name '^Reports Q$')
    xdotool windowactivate --sync "$reports_window" >/dev/null 2>&1
    wait_until 10 "Reports Q raised to the top" window_on_top "$reports_window" || fail=1
    expect "the raised window is in front" "$reports" "Reports Q"
    xdotool windowminimize --sync "$reports_window" >/dev/null 2>&1
    wait_until 10 "Reports Q minimised" window_has_state "$reports_window" _NET_WM_STATE_HIDDEN || fail=1
    expect "a minimised window is not in front" "$second" "Second"
  fi

  nautilus -q >/dev/null 2>&1
  wait_until 10 "Nautilus closed its windows" no_window --class '^org.gnome.Nautilus$' || fail=1
  expect_fallback "all windows closed"
fi
kill "$other_pid" 2>/dev/null; wait "$other_pid" 2>/dev/null

# A stand-in file manager drives what a real one cannot be made to do here on cue: a window with
# several tabs, where the title names the active one, and a service too busy to answer.
fake_window() {  # TITLE: a window of the file manager's class with object path window/1
  xmessage -name quillet-fake "$1" >/dev/null 2>&1 &
  fake_window_pid=$!
  local w
  w=$(await_window 10 "the stand-in window" --classname '^quillet-fake$') || { fail=1; return 1; }
  xdotool set_window --class org.gnome.Nautilus --name "$1" "$w"
  xprop -id "$w" -f _GTK_WINDOW_OBJECT_PATH 8u -set _GTK_WINDOW_OBJECT_PATH /org/gnome/Nautilus/window/1
  wait_until 10 "the stand-in window on top" window_on_top "$w" || fail=1
}
fake_file_manager() {  # LOCATIONS_JSON [--delay S]
  "$here/../../support/fake_file_manager.py" "$@" >"$work/fake.out" 2>&1 &
  fake_pid=$!
  wait_until 10 "the stand-in file manager ready" grep -q ready "$work/fake.out" && return 0
  echo "FAIL: the stand-in file manager did not start"; cat "$work/fake.out"; fail=1; return 1
}
stop_fakes() { kill "$fake_pid" "$fake_window_pid" 2>/dev/null; wait "$fake_pid" "$fake_window_pid" 2>/dev/null; }

tabs='{"/org/gnome/Nautilus/window/1": ["file://'"${second// /%20}"'", "file://'"${reports// /%20}"'", "trash:///"]}'
if fake_file_manager "$tabs"; then
  fake_window "Reports Q"
  expect "several tabs: the title names the active one" "$reports" "Reports Q"
  stop_fakes
  fake_file_manager "$tabs" && fake_window "Trash"
  expect_fallback "several tabs: the active one is not a folder"
  stop_fakes
fi
if fake_file_manager "$tabs" --delay 5; then
  fake_window "Reports Q"
  start=$(date +%s%N)
  expect_fallback "a file manager too busy to answer"
  elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
  if [ "$elapsed_ms" -lt 2500 ]; then echo "ok: gave up after ${elapsed_ms} ms"
  else echo "FAIL: waited ${elapsed_ms} ms for a busy file manager"; fail=1; fi
  stop_fakes
fi

[ $fail -eq 0 ] && echo "front folder e2e: all passed"
exit $fail
