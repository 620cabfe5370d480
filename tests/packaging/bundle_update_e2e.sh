#!/usr/bin/env bash
# The self-update of a per-user bundle, whole process: the bundle made from this build, installed
# in a throw-away Applications folder and configured with a feed on a local HTTPS server and a
# key made here. A tampered archive is refused (the alert says so, the bundle is unchanged byte
# for byte); then a newer signed build is offered, installed, and started in the old one's place.
#
# The program trusts only the system's certificate authorities, so the test's authority is made
# the system's for this test alone: the script runs itself again in a mount namespace of its own
# where /etc/ssl/certs holds just that authority.
#
# Usage: bundle_update_e2e.sh SOURCE_DIR BUILD_DIR
set -u
source_dir=$1
build_dir=$2
support=$source_dir/tests/support

if [ "${QUILLET_UPDATE_E2E_NAMESPACE:-}" != 1 ]; then
  for tool in tar xz python3 openssl xdotool unshare; do
    command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
  done
  [ -x "$build_dir/bin/quillet-sign" ] || { echo "skipped: no quillet-sign in $build_dir"; exit 77; }
  # Root makes a mount namespace; anyone else a user namespace that maps them to root in it.
  flags=(-m --propagation private)
  [ "$(id -u)" = 0 ] || flags=(-U -r "${flags[@]}")
  unshare "${flags[@]}" true 2>/dev/null || { echo "skipped: cannot make a mount namespace"; exit 77; }
  QUILLET_UPDATE_E2E_NAMESPACE=1 exec unshare "${flags[@]}" -- "$0" "$@"
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/quillet update.XXXXXX")
server=
trap '[ -n "$server" ] && kill $server 2>/dev/null; [ -n "${QUILLET_KEEP_SCRATCH:-}" ] || rm -rf "$scratch"' EXIT
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
info() { python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))[sys.argv[2]])' "$1" "$2"; }

# --- The authority, the server, the key -----------------------------------------------------
mkdir -p "$scratch/ca" "$scratch/www" "$scratch/certs"
"$support/make-test-ca.sh" "$scratch/ca" || { echo "FAIL: no test authority"; exit 1; }
cp "$scratch/ca/ca.pem" "$scratch/certs/quillet-test-authority.pem"
cp "$scratch/ca/ca.pem" "$scratch/certs/ca-certificates.crt"
openssl rehash "$scratch/certs" 2>/dev/null || c_rehash "$scratch/certs" >/dev/null
mount --bind "$scratch/certs" /etc/ssl/certs || { echo "skipped: cannot bind the test authority"; exit 77; }

python3 "$support/https-server.py" --root "$scratch/www" --certificate "$scratch/ca/server.pem" \
  --key "$scratch/ca/server.key" --port-file "$scratch/port" 2>"$scratch/server.log" &
server=$!
for _ in $(seq 1 100); do [ -s "$scratch/port" ] && break; sleep 0.1; done
port=$(cat "$scratch/port") || { echo "FAIL: the HTTPS server did not start"; cat "$scratch/server.log"; exit 1; }
base=https://127.0.0.1:$port
sign=$build_dir/bin/quillet-sign
public_key=$("$sign" generate-key "$scratch/key.pem") || { echo "FAIL: no key pair"; exit 1; }

# --- The installed bundle and the newer one -------------------------------------------------
archive=$("$source_dir/packaging/make-bundle.sh" "$build_dir" "$scratch/out" 2>"$scratch/make.log") \
  || { echo "FAIL: make-bundle"; cat "$scratch/make.log"; exit 1; }
apps=$scratch/home/Applications
"$source_dir/packaging/install-bundle.sh" "$archive" "$apps" >/dev/null || { echo "FAIL: install-bundle"; exit 1; }
bundle=$apps/Quillet+.app
configure() {  # Info.json of a bundle: feed, key and version
  python3 - "$1/share/quillet/Info.json" "$base/appcast.xml" "$public_key" "$2" <<'EOF'
import json, sys
path, feed, key, version = sys.argv[1:]
info = json.load(open(path))
info.update(SUFeedURL=feed, SUPublicEDKey=key, CFBundleShortVersionString=version)
json.dump(info, open(path, "w"), indent=2)
EOF
}
old_version=$(info "$bundle/share/quillet/Info.json" CFBundleShortVersionString)
new_version=$old_version.1
configure "$bundle" "$old_version"
mkdir -p "$scratch/new"
cp -a "$bundle" "$scratch/new/"
configure "$scratch/new/Quillet+.app" "$new_version"
echo "the newer build" >"$scratch/new/Quillet+.app/share/quillet/NEWER"
tar --create --xz --sort=name --owner=0 --group=0 --numeric-owner --directory "$scratch/new" \
  --file "$scratch/www/Quillet+-$new_version.tar.xz" Quillet+.app
# The same signature over an archive with one byte changed.
cp "$scratch/www/Quillet+-$new_version.tar.xz" "$scratch/www/tampered.tar.xz"
python3 - "$scratch/www/tampered.tar.xz" <<'EOF'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
data[len(data) // 2] ^= 0x01
open(sys.argv[1], "wb").write(data)
EOF
item=$("$sign" item "$scratch/key.pem" "$scratch/www/Quillet+-$new_version.tar.xz" --version "$new_version" \
  --url "$base/Quillet+-$new_version.tar.xz") || { echo "FAIL: quillet-sign item"; exit 1; }
write_feed() {  # FEED-FILE ARCHIVE-NAME: the item, its enclosure pointing at the archive
  printf '%s\n' '<?xml version="1.0" encoding="utf-8"?>' \
    '<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">' \
    '<channel><title>Quillet+</title>' "${item//Quillet+-$new_version.tar.xz/$2}" '</channel></rss>' >"$1"
}
write_feed "$scratch/feed-tampered.xml" tampered.tar.xz
write_feed "$scratch/feed-good.xml" "Quillet+-$new_version.tar.xz"
echo "installed $old_version at $bundle; offering $new_version from $base"

# --- In a desktop session: refuse the tampered archive, then install the real one -----------
cat >"$scratch/session.sh" <<'SESSION'
source "$support/x11-wait.sh"
export QUILLET_LOG=stderr
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
apps=$(dirname "$bundle")
answer() {  # DESCRIPTION CONDITION...: Return (the default button) in the front Quillet+ window until CONDITION
  local description=$1 id
  shift
  for _ in $(seq 1 60); do
    id=$(xdotool search --onlyvisible --name '^Quillet\+$' 2>/dev/null | tail -n 1)
    if [ -n "$id" ] && xdotool windowactivate --sync "$id" 2>/dev/null; then
      xdotool key Return 2>/dev/null
      wait_until 2 "$description" "$@" 2>/dev/null && return 0
    else
      sleep 0.5
    fi
  done
  echo "no answer: $description" >&2
  return 1
}
no_dialog() { [ -z "$(xdotool search --onlyvisible --name '^Quillet\+$' 2>/dev/null)" ]; }
digest() {
  (cd "$bundle" && find . -printf '%p %m %y\n' | LC_ALL=C sort &&
   find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum)
}
starts() { grep -c "Quillet+ started" "$1"; }
relaunched() { [ "$(starts "$scratch/update.log")" -ge 2 ]; }

# 1. The tampered archive: refused for its signature, nothing changed.
before=$(digest)
cp "$scratch/feed-tampered.xml" "$scratch/www/appcast.xml"
"$bundle/bin/quillet" check-for-updates 2>"$scratch/tampered.log" & app=$!
if [ -n "${QUILLET_SCREENSHOT_DIR:-}" ]; then  # to look at the offer as the user sees it
  await_window 30 "the offer" --onlyvisible --name '^Quillet\+$' >/dev/null && sleep 1 &&
    import -window root "$QUILLET_SCREENSHOT_DIR/update-offer.png"
fi
answer "the offer" grep -q "Downloading" "$scratch/tampered.log" || { cat "$scratch/tampered.log"; exit 1; }
wait_until 30 "the refusal" grep -q "signature is not valid" "$scratch/tampered.log" || { cat "$scratch/tampered.log"; fail=1; }
answer "the refusal alert" no_dialog
check "the bundle is unchanged byte for byte" '[ "$(digest)" = "$before" ]'
check "no staging folder is left" '[ "$(ls -A "$apps")" = Quillet+.app ]'
check "it did not relaunch" '[ "$(starts "$scratch/tampered.log")" = 1 ]'
check "the download went through the update module, loaded for the check" \
  'grep -q "Loaded the update module $bundle/lib/quillet/quillet-update.so" "$scratch/tampered.log"'
kill -TERM $app; wait $app

# 2. The signed newer build: installed, and started in the old one's place.
cp "$scratch/feed-good.xml" "$scratch/www/appcast.xml"
"$bundle/bin/quillet" check-for-updates 2>"$scratch/update.log" & app=$!
answer "the offer" grep -q "Downloading" "$scratch/update.log" || { cat "$scratch/update.log"; exit 1; }
started=$(date +%s%N)  # the download starts at once after Install
wait_until 60 "the new version running" relaunched || { cat "$scratch/update.log"; fail=1; }
echo "update: $(( ($(date +%s%N) - started) / 1000000 )) ms from Install to the new version running (download, verify, unpack, swap, relaunch)"
check "the bundle holds the new version" \
  'grep -q "\"$new_version\"" "$bundle/share/quillet/Info.json" && [ -f "$bundle/share/quillet/NEWER" ]'
check "the relaunch was logged" 'grep -qF "Relaunching $bundle/bin/quillet" "$scratch/update.log"'
check "the running program is the new file" '[ "$(readlink /proc/$app/exe)" = "$bundle/libexec/quillet-app" ]'
check "the old version is gone" '[ "$(ls -A "$apps")" = Quillet+.app ]'
kill -TERM $app; wait $app
exit $fail
SESSION
export bundle scratch new_version support QUILLET_SCREENSHOT_DIR
"$support/x11-session.sh" --wm -- bash "$scratch/session.sh" || fail=1
exit $fail
