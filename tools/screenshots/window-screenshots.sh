#!/usr/bin/env bash
# Screenshots of the walkthrough, the help page and the main window's cards, light and dark, at
# 1x and 2x, in a throw-away X11 session. Usage: tools/screenshots/window-screenshots.sh BUILD_DIR OUT_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?build dir}" && pwd)
mkdir -p "${2:?output dir}"
out=$(cd "$2" && pwd)

if [ -z "${QUILLET_SESSION_DIR:-}" ]; then
  exec "$here/tests/support/x11-session.sh" --wm --screen 1600x1400x24 "$0" "$build" "$out"
fi

program=$build/bin/quillet-window-screenshots
for scale in 1 2; do
  QT_SCALE_FACTOR=$scale "$program" "$out"
  QT_SCALE_FACTOR=$scale "$program" --dark "$out"
done
