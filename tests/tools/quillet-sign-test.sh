#!/bin/sh
# quillet-sign end to end: a new key is written owner-only and never over an existing file; the
# public key it prints is the key's; signatures verify with OpenSSL's own command line; the
# appcast item carries the archive's length, signature and the versions, XML-escaped.
# Usage: quillet-sign-test.sh PATH_TO_QUILLET_SIGN
set -u
sign=${1:?usage: quillet-sign-test.sh QUILLET_SIGN}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

public=$("$sign" generate-key "$work/key.pem") || fail "generate-key failed"
[ "$(stat -c %a "$work/key.pem")" = 600 ] || fail "the private key is not mode 0600"
[ "$("$sign" public-key "$work/key.pem")" = "$public" ] || fail "public-key differs from what generate-key printed"
# The raw key is the last 32 bytes of the DER public key.
expected=$(openssl pkey -in "$work/key.pem" -pubout -outform DER | tail -c 32 | base64 -w0)
[ "$public" = "$expected" ] || fail "printed public key $public is not the key's ($expected)"

cp "$work/key.pem" "$work/key.before"
if "$sign" generate-key "$work/key.pem" >"$work/out" 2>"$work/err"; then fail "generate-key overwrote a key"; fi
cmp -s "$work/key.pem" "$work/key.before" || fail "the existing key was changed"
grep -q "already exists" "$work/err" || fail "no clear refusal: $(cat "$work/err")"
ln -s "$work/elsewhere" "$work/link.pem"
if "$sign" generate-key "$work/link.pem" >/dev/null 2>&1; then fail "generate-key wrote through a link"; fi
[ ! -e "$work/elsewhere" ] || fail "a file was made at the link's target"

head -c 100000 /dev/urandom >"$work/Quillet.tar.xz"
signature=$("$sign" sign "$work/key.pem" "$work/Quillet.tar.xz") || fail "sign failed"
printf %s "$signature" | base64 -d >"$work/signature.bin" || fail "signature is not base64"
[ "$(stat -c %s "$work/signature.bin")" = 64 ] || fail "signature is not 64 bytes"
openssl pkey -in "$work/key.pem" -pubout -out "$work/public.pem"
openssl pkeyutl -verify -pubin -inkey "$work/public.pem" -rawin -in "$work/Quillet.tar.xz" \
  -sigfile "$work/signature.bin" >/dev/null || fail "OpenSSL does not verify the signature"
printf x >>"$work/Quillet.tar.xz"
if openssl pkeyutl -verify -pubin -inkey "$work/public.pem" -rawin -in "$work/Quillet.tar.xz" \
  -sigfile "$work/signature.bin" >/dev/null 2>&1; then fail "the signature verifies changed bytes"; fi

item=$("$sign" item "$work/key.pem" "$work/Quillet.tar.xz" --version '2.0<b>' --short-version '2.0 "&"' \
  --url 'https://quillet.example/Quillet 2.0.tar.xz?a=1&b=2' --notes-url 'https://quillet.example/notes') \
  || fail "item failed"
signature=$("$sign" sign "$work/key.pem" "$work/Quillet.tar.xz")
for expected in \
  '<sparkle:version>2.0&lt;b&gt;</sparkle:version>' \
  '<sparkle:shortVersionString>2.0 &quot;&amp;&quot;</sparkle:shortVersionString>' \
  '<sparkle:releaseNotesLink>https://quillet.example/notes</sparkle:releaseNotesLink>' \
  "<enclosure url=\"https://quillet.example/Quillet 2.0.tar.xz?a=1&amp;b=2\" length=\"100001\" type=\"application/x-xz\" sparkle:edSignature=\"$signature\"/>"
do
  printf '%s\n' "$item" | grep -qF -- "$expected" || fail "item lacks $expected"
done
printf '%s\n' "$item" | head -1 | grep -qx '<item>' || fail "item does not start with <item>"
printf '%s\n' "$item" | tail -1 | grep -qx '</item>' || fail "item does not end with </item>"

if "$sign" item "$work/key.pem" "$work/Quillet.tar.xz" --version 2.0 --url http://insecure >/dev/null 2>&1; then
  fail "item accepted an address that is not https"
fi
if "$sign" sign "$work/Quillet.tar.xz" "$work/Quillet.tar.xz" >/dev/null 2>&1; then
  fail "sign accepted a file that is not a key"
fi
if "$sign" frobnicate >/dev/null 2>&1; then fail "an unknown command succeeded"; fi

[ "$failures" = 0 ] && echo "quillet-sign: all checks passed"
exit "$failures"
