#!/usr/bin/env bash
# "quillet create TYPE" without a folder creates where Quick Create would, and prints the status
# line Quick Create shows. Run as a throw-away account so the Desktop is never a real user's;
# needs root to make the account, else it skips.
set -u
quillet=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
. "$(dirname "$0")/../../support/account-program.sh"
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
[ "$(id -u)" -eq 0 ] || { echo "needs root to create a test account"; exit 77; }
for tool in useradd userdel runuser; do command -v $tool >/dev/null || exit 77; done
user=qlc$$
base=$(mktemp -d)
chmod 755 "$base"
home=$base/home
cd "$base"  # the account runs here: the test's own folder may be closed to it
trap 'userdel "$user" 2>/dev/null; rm -rf "$base"' EXIT
useradd --home-dir "$home" --create-home --shell /bin/sh --no-user-group --gid nogroup "$user" || exit 77
quillet=$(account_program "$user" "$quillet" "$base/program") || exit 1
as_user() {
  # No display and no bus: the front file manager folder cannot be known.
  runuser -u "$user" -- env -i PATH="$PATH" HOME=/nonexistent XDG_CONFIG_HOME="$home/.config" "$@"
}
as_user mkdir -p "$home/Desktop"

out=$(as_user "$quillet" create txt 2>&1); rc=$?
check "creates on the account's Desktop, not \$HOME's" '[ $rc -eq 0 ] && [ "$out" = "$(printf "%s\nCreated Untitled.txt in Desktop" "$home/Desktop/Untitled.txt")" ]'
out=$(as_user "$quillet" create txt --destination frontFinderFolder 2>/dev/null); rc=$?
check "falls back to the Desktop and says so" '[ $rc -eq 0 ] && [ "$out" = "$(printf "%s\nCreated Untitled 2.txt on Desktop" "$home/Desktop/Untitled 2.txt")" ]'
as_user "$quillet" create txt --destination somewhere >/dev/null 2>&1; rc=$?
check "an unknown destination is a usage error" '[ $rc -eq 2 ] && [ "$(ls "$home/Desktop" | wc -l)" -eq 2 ]'

# A desktop in another language records its Desktop in user-dirs.dirs, where $HOME is the
# account's home (not the HOME the program was given).
as_user mkdir -p "$home/.config" "$home/Schreibtisch"
as_user sh -c 'cat > "$1"' sh "$home/.config/user-dirs.dirs" <<'DIRS'
# This file is written by xdg-user-dirs-update
XDG_DOCUMENTS_DIR="$HOME/Dokumente"
XDG_DESKTOP_DIR="$HOME/Schreibtisch"
DIRS
out=$(as_user "$quillet" create txt 2>&1); rc=$?
check "creates on the Desktop user-dirs.dirs names" '[ $rc -eq 0 ] && [ "$out" = "$(printf "%s\nCreated Untitled.txt in Desktop" "$home/Schreibtisch/Untitled.txt")" ]'
out=$(as_user "$quillet" create txt --destination frontFinderFolder 2>/dev/null); rc=$?
check "the fallback is that Desktop too" '[ $rc -eq 0 ] && [ "$out" = "$(printf "%s\nCreated Untitled 2.txt on Desktop" "$home/Schreibtisch/Untitled 2.txt")" ]'
out=$(as_user "$quillet" destination 2>&1); rc=$?
check "destination names it, still called Desktop" '[ $rc -eq 0 ] && [ "$out" = "$(printf "%s\nDesktop" "$home/Schreibtisch")" ]'
check "nothing more on the plain Desktop" '[ "$(ls "$home/Desktop" | wc -l)" -eq 2 ]'

# An absolute Desktop elsewhere, and a value the desktop's rules reject (relative): the plain
# Desktop again.
desk=$base/desks/$user
mkdir -p "$desk" && chown "$user" "$desk"
printf 'XDG_DESKTOP_DIR="%s"\n' "$desk" | as_user sh -c 'cat > "$1"' sh "$home/.config/user-dirs.dirs"
out=$(as_user "$quillet" create md 2>&1); rc=$?
check "an absolute Desktop is used as it is" '[ $rc -eq 0 ] && [ "$out" = "$(printf "%s\nCreated Untitled.md in Desktop" "$desk/Untitled.md")" ]'
printf 'XDG_DESKTOP_DIR="Schreibtisch"\n' | as_user sh -c 'cat > "$1"' sh "$home/.config/user-dirs.dirs"
out=$(as_user "$quillet" create md 2>&1); rc=$?
check "a relative Desktop falls back to the plain one" '[ $rc -eq 0 ] && [ "$out" = "$(printf "%s\nCreated Untitled.md in Desktop" "$home/Desktop/Untitled.md")" ]'
exit $fail
