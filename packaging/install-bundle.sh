#!/usr/bin/env bash
# Installs a bundle archive made by make-bundle.sh for the current user:
#   APPLICATIONS_DIR/Quillet+.app    (default ~/Applications)
# The archive is unpacked into a temporary folder beside the target and checked there, then moved
# into place in one step. An installed Quillet+.app is kept unless --replace is given; then it is
# swapped out and removed only once the new one is in place.
#
# Usage: packaging/install-bundle.sh [--replace] ARCHIVE [APPLICATIONS_DIR]
set -euo pipefail

die() { echo "install-bundle: $*" >&2; exit 1; }
replace=0
args=()
for arg in "$@"; do
  case $arg in
    --replace) replace=1 ;;
    -h|--help) sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) args+=("$arg") ;;
  esac
done
[ ${#args[@]} -ge 1 ] && [ ${#args[@]} -le 2 ] || die "usage: install-bundle.sh [--replace] ARCHIVE [APPLICATIONS_DIR]"
archive=${args[0]}
applications=${args[1]:-$HOME/Applications}
[ -f "$archive" ] || die "no archive at $archive"

# Only Quillet+.app/ and what is in it: no absolute names, no "..", no links or devices.
listing=$(tar --list --verbose --file "$archive") || die "$archive is not a readable tar.xz archive"
names=$(tar --list --file "$archive")
while IFS= read -r name; do
  case $name in
    Quillet+.app/*|Quillet+.app) ;;
    *) die "$archive holds \"$name\" outside Quillet+.app/" ;;
  esac
  case /$name/ in
    */../*) die "$archive holds \"$name\", which climbs out of its folder" ;;
  esac
done <<<"$names"
if grep -qv '^[-d]' <<<"$listing"; then
  die "$archive holds links or special files; a bundle has only files and folders"
fi

mkdir -p "$applications"
applications=$(cd "$applications" && pwd)
target=$applications/Quillet+.app
if [ -e "$target" ] || [ -L "$target" ]; then
  [ $replace -eq 1 ] || die "$target exists; give --replace to replace it"
fi

stage=$(mktemp -d "$applications/.Quillet+.app.install.XXXXXX")
trap 'rm -rf "$stage"' EXIT
tar --extract --file "$archive" --directory "$stage" --no-same-owner --no-same-permissions \
  --no-overwrite-dir --delay-directory-restore
[ -x "$stage/Quillet+.app/bin/quillet" ] && [ -f "$stage/Quillet+.app/share/quillet/Info.json" ] ||
  die "$archive has no Quillet+.app/bin/quillet with share/quillet/Info.json"

if [ -e "$target" ] || [ -L "$target" ]; then
  # The old bundle steps aside (same folder, one rename) and goes once the new one is in.
  mv -T "$target" "$stage/previous"
fi
mv -T "$stage/Quillet+.app" "$target"
echo "$target"
