#!/usr/bin/env bash
# Screenshots of the running application in a throw-away X11 session (Xvfb + openbox + a tray):
# the main window as it first opens, the Quick Create panel with "mark" typed and with the empty
# state ("plain"), the tray icon and its menu; light and dark, with Qt's GTK platform theme when
# it is installed (dark through GTK_THEME=Adwaita:dark).
# Usage: tools/panel-screenshots.sh BUILD_DIR OUT_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?build dir}" && pwd)
mkdir -p "${2:?output dir}"
out=$(cd "$2" && pwd)

if [ -z "${QUILLET_SESSION_DIR:-}" ]; then
  exec "$here/tests/support/x11-session.sh" --wm --screen 1280x800x24 "$0" "$build" "$out"
fi

export QUILLET_LOG=stderr
# The panel's title in the session's language (LANGUAGE=de shows the German one).
panel_title=$(TEXTDOMAINDIR="$build/share/locale" gettext -d quillet "Create File" 2>/dev/null || echo "Create File")
if ls /usr/lib/*/qt6/plugins/platformthemes/libqgtk3.so >/dev/null 2>&1; then export QT_QPA_PLATFORMTHEME=gtk3; fi
pid=
tray=
trap 'kill -TERM $pid $tray 2>/dev/null; wait $pid 2>/dev/null' EXIT
# A tray along the top, as a panel would hold it, so the first launch puts its icon there.
if command -v trayer >/dev/null; then
  trayer --edge top --align right --widthtype request --height 24 --SetDockType false --transparent false &
  tray=$!
  sleep 1
fi

for look in light dark; do
  if [ $look = dark ]; then export GTK_THEME=Adwaita:dark; else unset GTK_THEME; fi
  "$build/bin/quillet" defaults write hasCompletedOnboarding -json true
  "$build/bin/quillet" 2>"$out/quillet-$look.log" &
  pid=$!
  for _ in $(seq 1 100); do grep -q "Quillet+ started" "$out/quillet-$look.log" && break; sleep 0.1; done
  # The main window as a plain launch opens it (only where no tray icon shows).
  "$build/bin/quillet"
  for _ in $(seq 1 50); do xdotool search --onlyvisible --name "^Quillet\+$" >/dev/null 2>&1 && break; sleep 0.1; done
  sleep 2
  import -window root "$out/desktop-main-window-$look.png"
  xdotool mousemove 640 520
  xdotool key ctrl+alt+n
  for _ in $(seq 1 50); do xdotool search --onlyvisible --name "^$panel_title\$" >/dev/null 2>&1 && break; sleep 0.1; done
  panel=$(xdotool search --onlyvisible --name "^$panel_title\$" | head -1)
  sleep 0.5
  import -window root "$out/panel-open-$look.png"
  xdotool type --delay 30 "mark"
  sleep 0.5
  import -window "$panel" "$out/panel-search-mark-window-$look.png"
  # The Office tiles, whose long names wrap.
  xdotool key ctrl+a
  xdotool type --delay 30 "e"
  sleep 0.5
  import -window "$panel" "$out/panel-search-e-window-$look.png"
  xdotool key ctrl+a
  xdotool type --delay 30 "plain"
  sleep 0.5
  import -window "$panel" "$out/panel-empty-state-window-$look.png"
  xdotool key Escape
  # The tray menu, opened with a left click on the icon.
  if [ -n "$tray" ]; then
    traywin=$(xdotool search --name '^panel$' 2>/dev/null | head -1)
    if [ -n "$traywin" ]; then
      eval "$(xdotool getwindowgeometry --shell "$traywin")"
      xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
      sleep 1
      import -window root "$out/tray-menu-$look.png"
      xdotool key Escape
    fi
  fi
  kill -TERM $pid; wait $pid 2>/dev/null || true
  pid=
done
echo "$out"/*.png
