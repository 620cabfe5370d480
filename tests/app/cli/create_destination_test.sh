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
exit $fail
