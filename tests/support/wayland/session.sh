#!/usr/bin/env bash
# Runs a command inside a real headless Wayland desktop session of its own: a private session bus,
# private XDG folders and runtime folder, and every process it started gone when it returns.
# Usage: session.sh kde|gnome|gnome-kde-portal KWIN_FAKEKEY COMMAND...
#   kde               kwin_wayland --virtual, kglobalaccel, xdg-desktop-portal with the KDE backend
#   gnome             gnome-shell --headless, gsd-media-keys, xdg-desktop-portal with no backend (GNOME 43
#                     has no global shortcuts portal)
#   gnome-kde-portal  the same, with KDE's portal backend found as on a machine with KDE programs
# COMMAND sees QUILLET_SESSION_DIR, HOME (its Desktop folder announced in user-dirs.dirs), the
# compositor's XWayland as DISPLAY, and
# `press`, a program that types evdev key codes through the compositor: press 29+56+49 ...
# Exits 77 (skipped) where the desktop is not installed.
set -u
kind=${1:?kde, gnome or gnome-kde-portal}
fakekey=${2:?kwin-fakekey program}
shift 2
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${QUILLET_WAYLAND_INNER:-}" ]; then
  case $kind in
    kde) need=(/usr/bin/kwin_wayland /usr/libexec/xdg-desktop-portal /usr/lib/x86_64-linux-gnu/libexec/xdg-desktop-portal-kde "$fakekey") ;;
    gnome*) need=(/usr/bin/gnome-shell /usr/libexec/gsd-media-keys /usr/libexec/xdg-desktop-portal) ;;
    *) echo "unknown session $kind"; exit 2 ;;
  esac
  for program in "${need[@]}" /usr/bin/dbus-run-session /usr/bin/python3; do
    [ -x "$program" ] || { echo "$program is not installed"; exit 77; }
  done
  QUILLET_WAYLAND_INNER=1 exec dbus-run-session -- "$0" "$kind" "$fakekey" "$@"
fi

dir=$(mktemp -d /tmp/quillet-wayland.XXXXXX)
mkdir -p "$dir/run" "$dir/home/.config" "$dir/home/Desktop" "$dir/logs" "$dir/bin" "$dir/no-portals"
chmod 700 "$dir/run"
touch "$dir/began"
export QUILLET_SESSION_DIR=$dir QUILLET_SESSION_KIND=$kind XDG_RUNTIME_DIR=$dir/run HOME=$dir/home XDG_CONFIG_HOME=$dir/home/.config \
  XDG_DATA_HOME=$dir/home/.local/share XDG_CACHE_HOME=$dir/home/.cache XDG_SESSION_TYPE=wayland \
  WAYLAND_DISPLAY=wayland-quillet PATH=$dir/bin:$PATH
unset DISPLAY
# Services the bus starts (dconf, Nautilus) must see this session's folders and display: dconf's
# service started with another home writes where the session does not read.
dbus-update-activation-environment --all 2>/dev/null
echo "XDG_DESKTOP_DIR=\"$HOME/Desktop\"" >"$XDG_CONFIG_HOME/user-dirs.dirs"
pids=()
# Every process of the session carries its folder in its environment, those the bus started too.
session_processes() {
  grep -lsz "^QUILLET_SESSION_DIR=$dir\$" /proc/[0-9]*/environ | sed 's,/proc/\([0-9]*\)/environ,\1,' | grep -vx "$$"
}
cleanup() {
  kill -TERM "${pids[@]}" $(session_processes) 2>/dev/null
  sleep 0.3
  kill -KILL $(session_processes) 2>/dev/null
  wait 2>/dev/null
  # The document portal the shell starts mounts its folder in the runtime folder.
  fusermount3 -u -z "$dir/run/doc" 2>/dev/null || fusermount -u -z "$dir/run/doc" 2>/dev/null
  # An XWayland killed with the rest leaves its lock and socket behind.
  local holder
  holder=$(tr -dc 0-9 <"/tmp/.X${DISPLAY#:}-lock" 2>/dev/null)
  running() { local state; state=$(ps -o stat= -p "${1:-0}" 2>/dev/null); [ -n "$state" ] && [ "${state#Z}" = "$state" ]; }
  for _ in $(seq 1 20); do running "$holder" || break; sleep 0.05; done
  if [ -n "${DISPLAY:-}" ] && ! running "$holder"; then
    rm -f "/tmp/.X${DISPLAY#:}-lock" "/tmp/.X11-unix/X${DISPLAY#:}"
  fi
  rm -rf "$dir"
}
trap cleanup EXIT
wait_for() {  # condition, what
  for _ in $(seq 1 300); do eval "$1" && return 0; sleep 0.05; done
  echo "session: timed out waiting for $2"
  for log in "$dir"/logs/*; do echo "--- $log"; tail -20 "$log"; done
  exit 1
}
bus_has() { busctl --user status "$1" >/dev/null 2>&1; }
# The compositor's XWayland: the X display whose socket was made after the session began (one
# left by a killed server may be taken again), and the authority file mutter writes for it
# (kwin's takes none from a local client of the same user).
xwayland_up() {
  local socket
  for socket in $(find /tmp/.X11-unix -maxdepth 1 -type s -newer "$dir/began" -printf '%f\n' 2>/dev/null); do
    export DISPLAY=:${socket#X}
    local authority
    authority=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null | head -1)
    [ -n "$authority" ] && export XAUTHORITY=$authority
    return 0
  done
  return 1
}
start_portal() {
  "$@" /usr/libexec/xdg-desktop-portal >"$dir/logs/xdg-desktop-portal.log" 2>&1 &
  pids+=($!)
  wait_for 'bus_has org.freedesktop.portal.Desktop' "the portal"
}

began=$(date +%s%3N)
case $kind in
  kde)
    export XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true KDE_SESSION_VERSION=5
    # kwin_wayland carries a file capability that exec refuses where the bounding set lacks it;
    # a copy has none.
    cp /usr/bin/kwin_wayland "$dir/bin/kwin_wayland"
    KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 "$dir/bin/kwin_wayland" --virtual --xwayland \
      --socket "$WAYLAND_DISPLAY" --width 1280 --height 800 --no-lockscreen --no-kactivities \
      >"$dir/logs/kwin.log" 2>&1 &
    pids+=($!)
    wait_for '[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && bus_has org.kde.kglobalaccel' "kwin_wayland"
    QT_QPA_PLATFORM=wayland /usr/lib/x86_64-linux-gnu/libexec/xdg-desktop-portal-kde \
      >"$dir/logs/xdg-desktop-portal-kde.log" 2>&1 &
    pids+=($!)
    wait_for 'bus_has org.freedesktop.impl.portal.desktop.kde' "the KDE portal backend"
    start_portal env
    printf '#!/bin/sh\nIFS=+\nexec %q $*\n' "$fakekey" >"$dir/bin/press"
    ;;
  gnome*)
    export XDG_CURRENT_DESKTOP=GNOME GNOME_SHELL_SESSION_MODE=user \
      DBUS_SYSTEM_BUS_ADDRESS=unix:path=$dir/run/system_bus
    # gnome-shell dies without a system bus where /run/systemd/seats exists; an empty one will do.
    dbus-daemon --session --address="$DBUS_SYSTEM_BUS_ADDRESS" --nofork >"$dir/logs/system-bus.log" 2>&1 &
    pids+=($!)
    wait_for '[ -S "$dir/run/system_bus" ]' "the system bus"
    gnome-shell --headless --wayland --virtual-monitor 1280x800 --wayland-display "$WAYLAND_DISPLAY" \
      >"$dir/logs/gnome-shell.log" 2>&1 &
    pids+=($!)
    wait_for 'grep -q "GNOME Shell started" "$dir/logs/gnome-shell.log"' "gnome-shell"
    /usr/libexec/gsd-media-keys >"$dir/logs/gsd-media-keys.log" 2>&1 &
    pids+=($!)
    wait_for 'bus_has org.gnome.SettingsDaemon.MediaKeys' "gsd-media-keys"
    if [ "$kind" = gnome-kde-portal ]; then start_portal env; else start_portal env XDG_DESKTOP_PORTAL_DIR="$dir/no-portals"; fi
    gsettings set org.gnome.desktop.interface enable-hot-corners false
    # The shell starts in the overview; Escape leaves it.
    printf '#!/bin/sh\nargs=""\nfor k in "$@"; do args="$args key:$k"; done\nexec /usr/bin/python3 %q $args >/dev/null\n' \
      "$here/mutter-input.py" >"$dir/bin/press"
    chmod +x "$dir/bin/press"
    press 1
    ;;
esac
chmod +x "$dir/bin/press"
wait_for xwayland_up "XWayland"
echo "session: $kind up in $(( $(date +%s%3N) - began )) ms"
"$@"
