#!/usr/bin/env bash
# Renders the application icon resources/org.quillet.Quillet.svg to the PNG sizes of the hicolor
# icon theme, into resources/icons/hicolor/<N>x<N>/apps/org.quillet.Quillet.png. The PNGs are
# committed: building needs no SVG renderer, and every build, bundle and package carries the
# same pixels. Run it again after changing the SVG (tests/packaging/icon_test.sh fails until then).
#
# Usage: tools/render-icons.sh [OUT_DIR]     (default: resources/icons in the source tree)
# Needs rsvg-convert (apt-get install librsvg2-bin).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
svg=$here/resources/org.quillet.Quillet.svg
out=${1:-$here/resources/icons}
command -v rsvg-convert >/dev/null || { echo "render-icons: rsvg-convert is needed (apt-get install librsvg2-bin)" >&2; exit 1; }
for size in 16 22 24 32 48 64 128 256 512; do
  folder=$out/hicolor/${size}x${size}/apps
  mkdir -p "$folder"
  rsvg-convert --width "$size" --height "$size" --format png "$svg" --output "$folder/org.quillet.Quillet.png.new"
  mv "$folder/org.quillet.Quillet.png.new" "$folder/org.quillet.Quillet.png"
done
