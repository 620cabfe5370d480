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

fail=0
work=$(mktemp -d "${TMPDIR:-/tmp}/quillet-front-folder.XXXXXX")
reports="$work/Reports Q"
second="$work/Second"
mkdir -p "$reports" "$second"
desktop="$(getent passwd "$(id -u)" | cut -d: -f6)/Desktop"
nautilus_pid=
fake_pid=
fake_window_pid=
finish() {
  nautilus -q >/dev/null 2>&1
  [ -n "$nautilus_pid" ] && kill "$nautilus_pid" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT

locations() {
  gdbus call --session --dest org.freedesktop.FileManager1 --object-path /org/freedesktop/FileManager1 \
    --method org.freedesktop.DBus.Properties.Get org.freedesktop.FileManager1 OpenWindowsWithLocations 2>/dev/null
}
# Waits until the file manager lists a window on this folder and X knows a window of that title.
wait_for_window() {
  local uri="file://${1// /%20}" title=$2
  for _ in $(seq 1 120); do
    if locations | grep -qF "'$uri'" && xdotool search --name "^$title\$" >/dev/null 2>&1; then
      sleep 0.5
      return 0
    fi
    sleep 0.25
  done
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
  for _ in $(seq 1 40); do xdotool search --classname '^quillet-e2e$' >/dev/null 2>&1 && break; sleep 0.25; done
  expect "another program's window above it" "$reports" "Reports Q"
  kill "$message_pid" 2>/dev/null; wait "$message_pid" 2>/dev/null

  nautilus --new-window "$second" >>"$work/nautilus.log" 2>&1
  if wait_for_window "$second" "Second"; then
    expect "the newer window is in front" "$second" "Second"
    reports_window=$(xdotool search --name '^Reports Q$' | head -n 1)
    xdotool windowactivate --sync "$reports_window" >/dev/null 2>&1
    sleep 0.5
    expect "the raised window is in front" "$reports" "Reports Q"
    xdotool windowminimize --sync "$reports_window" >/dev/null 2>&1
    sleep 0.5
    expect "a minimised window is not in front" "$second" "Second"
  fi

  nautilus -q >/dev/null 2>&1
  for _ in $(seq 1 40); do xdotool search --class '^org.gnome.Nautilus$' >/dev/null 2>&1 || break; sleep 0.25; done
  expect_fallback "all windows closed"
fi

# A stand-in file manager drives what a real one cannot be made to do here on cue: a window with
# several tabs, where the title names the active one, and a service too busy to answer.
fake_window() {  # TITLE: a window of the file manager's class with object path window/1
  xmessage -name quillet-fake "$1" >/dev/null 2>&1 &
  fake_window_pid=$!
  local w=
  for _ in $(seq 1 40); do w=$(xdotool search --classname '^quillet-fake$' 2>/dev/null | head -n 1); [ -n "$w" ] && break; sleep 0.25; done
  xdotool set_window --class org.gnome.Nautilus --name "$1" "$w"
  xprop -id "$w" -f _GTK_WINDOW_OBJECT_PATH 8u -set _GTK_WINDOW_OBJECT_PATH /org/gnome/Nautilus/window/1
}
fake_file_manager() {  # LOCATIONS_JSON [--delay S]
  "$here/../../support/fake_file_manager.py" "$@" >"$work/fake.out" 2>&1 &
  fake_pid=$!
  for _ in $(seq 1 40); do grep -q ready "$work/fake.out" && return 0; sleep 0.25; done
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
