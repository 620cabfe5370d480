#!/usr/bin/env bash
# Lays out the per-user bundle from a build and packs it:
#   OUT_DIR/Quillet+.app/            bin/quillet and libexec/quillet-app (stripped), the update
#                                    module lib/quillet/quillet-update.so, share/quillet/
#                                    (templates, Info.json, the desktop and autostart entries it
#                                    registers, its icon), share/icons/hicolor (the icon's sizes)
#   OUT_DIR/Quillet+-VERSION.tar.xz  that folder as the archive's one top-level entry
# Qt and the other shared libraries come from the system's packages, not from the bundle.
#
# Usage: packaging/make-bundle.sh BUILD_DIR OUT_DIR
set -euo pipefail

die() { echo "make-bundle: $*" >&2; exit 1; }
[ $# -eq 2 ] || die "usage: make-bundle.sh BUILD_DIR OUT_DIR"
build_dir=$(cd "$1" 2>/dev/null && pwd) || die "no build folder at $1"
out_dir=$2
[ -f "$build_dir/CMakeCache.txt" ] || die "$build_dir is not a CMake build folder (configure it first)"
for tool in python3 tar xz strip; do
  command -v $tool >/dev/null || die "$tool is needed (apt-get install python3 tar xz-utils binutils)"
done

# Brings the program and its resources up to date; a build configured without the application
# (QUILLET_BUILD_GUI=OFF) has no such target, and no bundle can be made from it.
if ! grep -q '^QUILLET_BUILD_GUI:BOOL=ON$' "$build_dir/CMakeCache.txt"; then
  die "$build_dir does not build the program (configure it with -DQUILLET_BUILD_GUI=ON)"
fi
cmake --build "$build_dir" --target quillet quillet_resources >&2 ||
  die "building quillet in $build_dir failed"
resources=$build_dir/share/quillet
for program in bin/quillet libexec/quillet-app lib/quillet/quillet-update.so; do
  [ -x "$build_dir/$program" ] || die "the build has no program at $build_dir/$program"
done
for needed in Info.json org.quillet.Quillet.desktop org.quillet.Quillet.autostart.desktop org.quillet.Quillet.svg; do
  [ -f "$resources/$needed" ] || die "the build has no $needed in $resources"
done

version=$(python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["CFBundleShortVersionString"])' \
  "$resources/Info.json") || die "no CFBundleShortVersionString in $resources/Info.json"
[[ $version =~ ^[0-9A-Za-z.+~-]+$ ]] || die "unexpected version \"$version\" in Info.json"

mkdir -p "$out_dir"
out_dir=$(cd "$out_dir" && pwd)
bundle=$out_dir/Quillet+.app
archive=$out_dir/Quillet+-$version.tar.xz
# Laid out beside the result and moved into place, so a failed run leaves no half bundle.
stage=$(mktemp -d "$out_dir/.make-bundle.XXXXXX")
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/Quillet+.app/bin" "$stage/Quillet+.app/libexec" "$stage/Quillet+.app/lib/quillet" \
  "$stage/Quillet+.app/share/quillet"
# Without their debugging sections the programs name no folder of the machine that built them.
for program in bin/quillet libexec/quillet-app lib/quillet/quillet-update.so; do
  strip --strip-unneeded -o "$stage/Quillet+.app/$program" "$build_dir/$program"
  chmod 0755 "$stage/Quillet+.app/$program"
done
find "$resources" -mindepth 1 -maxdepth 1 -type f -print0 | sort -z |
  while IFS= read -r -d '' file; do install -m 0644 "$file" "$stage/Quillet+.app/share/quillet/"; done
# The icon in its sizes, beside share/quillet where the windows look for it.
[ -f "$build_dir/share/icons/hicolor/48x48/apps/org.quillet.Quillet.png" ] || die "the build has no icon renders in $build_dir/share/icons"
(cd "$build_dir/share" && find icons -type f -name 'org.quillet.Quillet.*' -print0 | sort -z) |
  while IFS= read -r -d '' file; do install -D -m 0644 "$build_dir/share/$file" "$stage/Quillet+.app/share/$file"; done
# The catalogues of every language, in share/locale where the programs look beside share/quillet.
[ -d "$build_dir/share/locale" ] || die "the build has no catalogues in $build_dir/share/locale"
(cd "$build_dir/share" && find locale -type f -name quillet.mo -print0 | sort -z) |
  while IFS= read -r -d '' file; do install -D -m 0644 "$build_dir/share/$file" "$stage/Quillet+.app/share/$file"; done
if grep -rqF "$build_dir" "$stage/Quillet+.app"; then
  die "the bundle still names the build folder $build_dir"
fi

# The same tree gives the same archive: sorted names, one time stamp (the source's last commit
# when there is one), no owner.
stamp=${SOURCE_DATE_EPOCH:-$(git -C "$(dirname "$0")" log -1 --format=%ct 2>/dev/null || echo 0)}
find "$stage/Quillet+.app" -type d -exec chmod 0755 {} +
tar --create --sort=name --mtime="@$stamp" --owner=0 --group=0 --numeric-owner \
  --format=posix --pax-option=exthdr.name=%d/PaxHeaders/%f,delete=atime,delete=ctime \
  -C "$stage" Quillet+.app | xz -T1 -9 >"$stage/archive.tar.xz"

rm -rf "$bundle"
mv "$stage/Quillet+.app" "$bundle"
mv "$stage/archive.tar.xz" "$archive"
echo "$archive"
