#!/usr/bin/env bash
# Screenshots of the Quick Create panel as the running application shows it, in a throw-away
# X11 session (Xvfb + openbox): with "mark" typed, and with the empty state ("plain").
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
"$build/bin/quillet" 2>"$out/quillet.log" &
pid=$!
trap 'kill -TERM $pid 2>/dev/null; wait $pid 2>/dev/null' EXIT
for _ in $(seq 1 100); do grep -q "Quillet+ started" "$out/quillet.log" && break; sleep 0.1; done
xdotool mousemove 640 520
xdotool key ctrl+alt+n
for _ in $(seq 1 50); do xdotool search --onlyvisible --name "^Create File$" >/dev/null 2>&1 && break; sleep 0.1; done
panel=$(xdotool search --onlyvisible --name "^Create File$" | head -1)
sleep 0.5
import -window root "$out/panel-open.png"
xdotool type --delay 30 "mark"
sleep 0.5
import -window root "$out/panel-search-mark.png"
import -window "$panel" "$out/panel-search-mark-window.png"
xdotool key ctrl+a
xdotool type --delay 30 "plain"
sleep 0.5
import -window "$panel" "$out/panel-empty-state-window.png"
echo "$out"/panel-*.png
