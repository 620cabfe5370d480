#!/usr/bin/env bash
# Screenshots of the walkthrough, the help page, the main window and its cards, the About dialog
# and the tray icon, light and dark, at 1x and 2x, in a throw-away X11 session. With Qt's GTK
# platform theme installed they show the desktop's look (Adwaita, and Adwaita dark through
# GTK_THEME); without it Qt's own. Usage: tools/screenshots/window-screenshots.sh BUILD_DIR OUT_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?build dir}" && pwd)
mkdir -p "${2:?output dir}"
out=$(cd "$2" && pwd)

if [ -z "${QUILLET_SESSION_DIR:-}" ]; then
  exec "$here/tests/support/x11-session.sh" --wm --screen 1600x1400x24 "$0" "$build" "$out"
fi

program=$build/bin/quillet-window-screenshots
theme=()
if ls /usr/lib/*/qt6/plugins/platformthemes/libqgtk3.so >/dev/null 2>&1; then theme=(QT_QPA_PLATFORMTHEME=gtk3); fi
for scale in 1 2; do
  env "${theme[@]}" QT_SCALE_FACTOR=$scale "$program" "$out"
  env "${theme[@]}" GTK_THEME=Adwaita:dark QT_SCALE_FACTOR=$scale "$program" --dark "$out"
done
