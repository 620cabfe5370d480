#!/usr/bin/env bash
# The Nautilus module installs into pkg-config's extensiondir for the /usr prefix (also when
# staged with DESTDIR), into <prefix>/<libdir>/nautilus/extensions-4 for any other prefix, and
# depends on GLib and libnautilus-extension but never on Qt, and exports its entry points only.
set -u
build_dir=$1
cmake=$2
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

"$cmake" --install "$build_dir" --component nautilus --prefix "$scratch/prefix" >/dev/null
found=$(cd "$scratch/prefix" && find . -name 'libquillet-nautilus.so')
check "one module under the prefix" '[ "$(printf "%s\n" "$found" | grep -c .)" -eq 1 ]'
check "under <libdir>/nautilus/extensions-4 ($found)" \
  'printf "%s\n" "$found" | grep -qE "^\./lib[^/]*(/[^/]+)?/nautilus/extensions-4/libquillet-nautilus\.so$"'

extensiondir=$(pkg-config --variable=extensiondir libnautilus-extension-4)
DESTDIR="$scratch/stage" "$cmake" --install "$build_dir" --component nautilus --prefix /usr >/dev/null
check "staged into $extensiondir" '[ -f "$scratch/stage$extensiondir/libquillet-nautilus.so" ]'
check "nothing installed outside the stage" '[ ! -e "$extensiondir/libquillet-nautilus.so" ] || [ "$extensiondir/libquillet-nautilus.so" -ot "$scratch" ]'

module="$scratch/stage$extensiondir/libquillet-nautilus.so"
needed=$(readelf -d "$module" 2>/dev/null | grep NEEDED)
check "links libnautilus-extension" 'printf "%s\n" "$needed" | grep -q "libnautilus-extension"'
check "links GIO" 'printf "%s\n" "$needed" | grep -q "libgio-2.0"'
check "never Qt" '! printf "%s\n" "$needed" | grep -qi "qt"'
exports=$(nm -D --defined-only "$module" | awk '{print $3}' | grep -v '^_' | sort | tr '\n' ' ')
check "exports the three entry points only (got: $exports)" \
  '[ "$exports" = "nautilus_module_initialize nautilus_module_list_types nautilus_module_shutdown " ]'
# Look-ups that only work inside Nautilus's own process.
check "calls no nautilus_file_info look-up or factory" \
  '! nm -D --undefined-only "$module" | grep -qE "nautilus_file_info_(lookup|create)"'
exit $fail
