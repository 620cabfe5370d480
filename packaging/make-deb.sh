#!/usr/bin/env bash
# Makes the system package from a build: OUT_DIR/quillet_<version>-<release>_<arch>.deb, for /usr
# (the launcher in /usr/bin, the application program in /usr/libexec, resources in
# /usr/share/quillet, the Nautilus module in Nautilus's extension folder, desktop, autostart and
# AppStream entries, icons, manual page), stripped, its dependencies computed by dpkg-shlibdeps.
# The build tree is reused whatever prefix it was configured with. Prints the package's path.
# (`cmake --build BUILD_DIR --target package` makes the same package, after building everything.)
#
# Usage: packaging/make-deb.sh BUILD_DIR OUT_DIR
set -euo pipefail

die() { echo "make-deb: $*" >&2; exit 1; }
[ $# -eq 2 ] || die "usage: make-deb.sh BUILD_DIR OUT_DIR"
build_dir=$(cd "$1" 2>/dev/null && pwd) || die "no build folder at $1"
[ -f "$build_dir/CMakeCache.txt" ] || die "$build_dir is not a CMake build folder (configure it first)"
grep -q '^QUILLET_BUILD_GUI:BOOL=ON$' "$build_dir/CMakeCache.txt" ||
  die "$build_dir does not build the program (configure it with -DQUILLET_BUILD_GUI=ON)"
for tool in cpack dpkg-deb dpkg-shlibdeps strip; do
  command -v $tool >/dev/null || die "$tool is needed (apt-get install cmake dpkg-dev binutils)"
done
[ -f "$build_dir/CPackConfig.cmake" ] || die "$build_dir has no CPackConfig.cmake (configure it again)"

mkdir -p "$2"
out_dir=$(cd "$2" && pwd)
stage=$(mktemp -d "$out_dir/.make-deb.XXXXXX")
trap 'rm -rf "$stage"' EXIT
# Only what the package holds is brought up to date (cpack on its own would build every target,
# the tests too), installed for /usr into a staging folder, stripped, and packed from there.
targets=(quillet quillet-app quillet_resources quillet_debian_files)
grep -q '^NAUTILUS_EXTENSION_FOUND:INTERNAL=1$' "$build_dir/CMakeCache.txt" && targets+=(quillet-nautilus)
cmake --build "$build_dir" --target "${targets[@]}" >&2 || die "building the package's programs failed"
DESTDIR="$stage/root" cmake --install "$build_dir" --prefix /usr --strip >"$stage/install.log" 2>&1 ||
  { cat "$stage/install.log" >&2; die "installing into $stage/root failed"; }
(cd "$stage" && cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$stage" \
  -D CPACK_INSTALL_CMAKE_PROJECTS= -D "CPACK_INSTALLED_DIRECTORIES=$stage/root;/" >&2) || die "cpack failed"
package=$(find "$stage" -maxdepth 1 -name 'quillet_*.deb' -print -quit)
[ -n "$package" ] || die "cpack made no package"
mv -f "$package" "$out_dir/"
echo "$out_dir/$(basename "$package")"
