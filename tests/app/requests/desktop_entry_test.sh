#!/usr/bin/env bash
# The desktop entry passes desktop-file-validate, carries the keys that make "quillet URL" the
# handler of quillaxe: links, and is installed into share/applications.
set -u
entry=$1
build_dir=$2
cmake=$3
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }

check "desktop-file-validate" 'desktop-file-validate "$entry"'
for line in "Type=Application" "Name=Quillet+" "Exec=quillet %u" "MimeType=x-scheme-handler/quillaxe;" \
            "Categories=Utility;" "Icon=org.quillet.Quillet" "NoDisplay=false" "StartupNotify=false" \
            "Terminal=false"; do
  check "has $line" 'grep -qxF "$line" "$entry"'
done

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
check "installs" '"$cmake" --install "$build_dir" --prefix "$prefix" >/dev/null'
check "installed into share/applications" '[ -f "$prefix/share/applications/org.quillet.Quillet.desktop" ]'
check "installed entry is valid" 'desktop-file-validate "$prefix/share/applications/org.quillet.Quillet.desktop"'
check "not among the resources" '[ ! -e "$prefix/share/quillet/org.quillet.Quillet.desktop" ]'
exit $fail
