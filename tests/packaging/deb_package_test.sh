#!/usr/bin/env bash
# The system package made from this build: what it holds and where (dpkg-deb -c), its control
# data and dependencies (dpkg-deb -I), lintian without errors, its desktop entry and AppStream
# metadata valid, its Info.json a system install without updates, its manual page without
# formatting warnings, and its programs finding their resources where the package puts them.
# Leaves the package in BUILD_DIR/package-test/ for system_install_test.sh.
# Usage: deb_package_test.sh SOURCE_DIR BUILD_DIR
set -u
source_dir=$1
build_dir=$2
for tool in dpkg-deb dpkg-shlibdeps lintian appstreamcli desktop-file-validate man; do
  command -v $tool >/dev/null || { echo "skipped: $tool is not installed (scripts/packages.txt)"; exit 77; }
done
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

out=$build_dir/package-test
rm -f "$out"/quillet_*.deb
started=$(date +%s)
deb=$("$source_dir/packaging/make-deb.sh" "$build_dir" "$out" 2>"$scratch/make.log")
if [ $? -ne 0 ] || [ ! -f "$deb" ]; then
  echo "FAIL: make-deb.sh made no package"; tail -n 30 "$scratch/make.log"; exit 1
fi
echo "made $(basename "$deb") in $(( $(date +%s) - started )) s"
arch=$(dpkg --print-architecture)
version=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["CFBundleShortVersionString"])' \
  "$build_dir/share/quillet/Info.json")
check "named quillet_${version}-1_$arch.deb" '[ "$(basename "$deb")" = "quillet_${version}-1_$arch.deb" ]'

# --- Contents -------------------------------------------------------------------------------
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's#^\./#/#; s#/$##' >"$scratch/list"
has() { grep -qxF "$1" "$scratch/list"; }
extensiondir=$(pkg-config --variable=extensiondir libnautilus-extension-4)
thunardir=$(pkg-config --variable=extensionsdir thunarx-3)
cajadir=$(pkg-config --variable=extensiondir libcaja-extension)
nemodir=$(pkg-config --variable=extensiondir libnemo-extension)
for file in /usr/bin/quillet /usr/libexec/quillet-app /usr/lib/quillet/quillet-update.so \
            /usr/share/quillet/Info.json /usr/share/quillet/blank.docx /usr/share/quillet/blank.xlsx \
            /usr/share/quillet/blank.pptx "$extensiondir/libquillet-nautilus.so" \
            "$thunardir/quillet-thunar.so" "$cajadir/quillet-caja.so" "$nemodir/quillet-nemo.so" \
            /usr/share/applications/org.quillet.Quillet.desktop /etc/xdg/autostart/org.quillet.Quillet.desktop \
            /usr/share/icons/hicolor/scalable/apps/org.quillet.Quillet.svg \
            /usr/share/metainfo/org.quillet.Quillet.metainfo.xml /usr/share/man/man1/quillet.1.gz \
            /usr/share/doc/quillet/copyright /usr/share/doc/quillet/changelog.Debian.gz; do
  check "holds $file" 'has "$file"'
done
for size in 16 22 24 32 48 64 128 256 512; do
  check "holds the ${size}px icon" 'has "/usr/share/icons/hicolor/${size}x${size}/apps/org.quillet.Quillet.png"'
done
check "everything under /usr or /etc/xdg/autostart" \
  '! grep -vE "^(|/usr(/.*)?|/etc|/etc/xdg|/etc/xdg/autostart(/.*)?)$" "$scratch/list"'
check "nothing under /usr/local" '! grep -q "^/usr/local" "$scratch/list"'
check "no bundle registration files among the resources" \
  '[ "$(grep "^/usr/share/quillet/" "$scratch/list" | sort | tr "\n" " ")" = "/usr/share/quillet/Info.json /usr/share/quillet/blank.docx /usr/share/quillet/blank.pptx /usr/share/quillet/blank.xlsx " ]'
check "owned by root" '! dpkg-deb -c "$deb" | awk "{print \$2}" | grep -vqx "root/root"'

# --- Control data ---------------------------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
depends=$(field Depends)
echo "Depends: $depends"
check "package quillet, version ${version}-1, $arch" \
  '[ "$(field Package)" = quillet ] && [ "$(field Version)" = "${version}-1" ] && [ "$(field Architecture)" = "$arch" ]'
for library in libc6 libstdc++6 libqt6widgets6 libqt6dbus6 libqt6network6 libsqlite3-0 libssl3 \
               libarchive13 libxcb1 libglib2.0-0 libnautilus-extension4 qt6-qpa-plugins; do
  check "depends on $library" 'sed "s/ *([^)]*)//g; s/, */\n/g" <<<"$depends" | grep -qxF "$library"'
done
# The other file managers' modules use the library of the file manager that loads them.
for library in libthunarx-3-0 libcaja-extension1 libnemo-extension1; do
  check "no dependency on $library" '! sed "s/ *([^)]*)//g; s/, */\n/g" <<<"$depends" | grep -qxF "$library"'
done
check "versioned library dependencies" 'grep -qE "libc6 \(>= [0-9.]+\)" <<<"$depends"'
check "no development package among them" '! grep -qE "\-dev( |,|$)" <<<"$depends"'
check "recommends nautilus, the GTK platform theme, XWayland and Qt's catalogues" '[ "$(field Recommends)" = "nautilus, qt6-gtk-platformtheme, xwayland, qt6-translations-l10n" ]'
check "suggests Qt's Wayland plugin and GNOME's indicator extension" '[ "$(field Suggests)" = "qt6-wayland, gnome-shell-extension-appindicator" ]'
check "the autostart entry is a conffile" \
  '[ "$(dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles)" = /etc/xdg/autostart/org.quillet.Quillet.desktop ]'

# --- Lintian --------------------------------------------------------------------------------
lintian --tag-display-limit 0 "$deb" >"$scratch/lintian" 2>&1
sed 's/^/  lintian: /' "$scratch/lintian"
check "lintian finds no errors" '! grep -q "^E:" "$scratch/lintian"'

# --- The files themselves -------------------------------------------------------------------
root=$scratch/root
dpkg-deb -x "$deb" "$root"
check "the desktop entry is valid" 'desktop-file-validate "$root/usr/share/applications/org.quillet.Quillet.desktop"'
check "the autostart entry is valid" 'desktop-file-validate "$root/etc/xdg/autostart/org.quillet.Quillet.desktop"'
entry=$root/usr/share/applications/org.quillet.Quillet.desktop
check "it handles quillaxe: links" 'grep -qx "MimeType=x-scheme-handler/quillaxe;" "$entry" && grep -qx "Exec=quillet %u" "$entry"'
check "it offers Quick Create" \
  'grep -qx "Actions=QuickCreate;" "$entry" && sed -n "/^\[Desktop Action QuickCreate\]/,\$p" "$entry" | grep -qx "Exec=quillet quick-create"'
check "the AppStream metadata is valid" \
  'appstreamcli validate --no-net "$root/usr/share/metainfo/org.quillet.Quillet.metainfo.xml" >"$scratch/appstream" 2>&1 || { cat "$scratch/appstream"; false; }'
info=$root/usr/share/quillet/Info.json
check "Info.json: a system install" 'python3 -c "import json,sys; sys.exit(json.load(open(sys.argv[1])).get(\"QuilletSystemInstall\") is not True)" "$info"'
check "Info.json: no update feed or key" \
  'python3 -c "import json,sys; d=json.load(open(sys.argv[1])); sys.exit(bool(d.get(\"SUFeedURL\") or d.get(\"SUPublicEDKey\")))" "$info"'
check "the manual page formats without warnings" \
  '[ -z "$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/quillet.1.gz" 2>&1 >/dev/null)" ]'
# Every command the program offers is in the manual.
"$build_dir/bin/quillet" --help | sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p' >"$scratch/commands"
check "the help lists commands" '[ "$(wc -l <"$scratch/commands")" -ge 9 ]'
LC_ALL=C.UTF-8 MANWIDTH=100 man -l "$root/usr/share/man/man1/quillet.1.gz" 2>/dev/null | col -b >"$scratch/manual"
while read -r command; do
  check "the manual describes the $command command" 'grep -qE "^       $command( |$)" "$scratch/manual"'
done <"$scratch/commands"
check "the programs are stripped" \
  '! file "$root/usr/bin/quillet" "$root/usr/libexec/quillet-app" "$root/usr/lib/quillet/quillet-update.so" "$root$extensiondir/libquillet-nautilus.so" | grep -q "not stripped"'
check "no build or source folder named" '! grep -rqF "$build_dir" "$root" && ! grep -rqF "$source_dir" "$root"'

# The programs as the package lays them out find their resources: a Word document is a copy of
# the template in /usr/share/quillet (here under the unpacked root), made by the application
# program in /usr/libexec that the launcher starts.
home=$scratch/home
mkdir -p "$home/work"
made=$(env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
  QUILLET_LOG=stderr "$root/usr/bin/quillet" create docx "$home/work" 2>"$scratch/create.log")
check "the unpacked program creates a document ($made)" \
  '[ "$made" = "$home/work/Untitled.docx" ] && cmp -s "$made" "$root/usr/share/quillet/blank.docx" || { cat "$scratch/create.log"; false; }'
check "--version" '[ "$(env -i PATH=/usr/bin:/bin HOME="$home" "$root/usr/bin/quillet" --version)" = "Quillet+ $version" ]'

echo "package test took $(( $(date +%s) - started )) s"
exit $fail
