#!/usr/bin/env bash
# The committed icon renders are those of the current SVG: every hicolor size there, of its
# size, with transparency, and pixel for pixel (within rounding) what tools/render-icons.sh makes
# of resources/org.quillet.Quillet.svg now. Fails when the SVG changed and the renders did not.
# Usage: icon_test.sh SOURCE_DIR
set -u
source_dir=$1
for tool in rsvg-convert compare identify; do
  command -v $tool >/dev/null || { echo "skipped: $tool is not installed (scripts/packages.txt)"; exit 77; }
done
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

"$source_dir/tools/render-icons.sh" "$scratch/icons" >/dev/null
committed=$source_dir/resources/icons/hicolor
check "only the hicolor sizes are committed" \
  '[ "$(cd "$committed" && find . -type f | sort | tr "\n" " ")" = "$(cd "$scratch/icons/hicolor" && find . -type f | sort | tr "\n" " ")" ]'
for size in 16 22 24 32 48 64 128 256 512; do
  png=$committed/${size}x${size}/apps/org.quillet.Quillet.png
  check "${size}px: a PNG of ${size}x${size} with an alpha channel" \
    '[ "$(identify -format "%m %wx%h %A" "$png" 2>/dev/null)" = "PNG ${size}x${size} True" ]'
  differing=$(compare -metric AE -fuzz 3% "$png" "$scratch/icons/hicolor/${size}x${size}/apps/org.quillet.Quillet.png" null: 2>&1)
  check "${size}px: the render of the current SVG ($differing pixels differ)" '[ "$differing" = 0 ]'
done
exit $fail
