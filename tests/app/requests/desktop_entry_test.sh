#!/usr/bin/env bash
# The desktop entry passes desktop-file-validate, carries the keys that make "quillet URL" the
# handler of quillaxe: links, and is installed into share/applications; the autostart entry
# beside it is installed into the system's autostart folder.
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

# The autostart entry: from the one template the bundle also uses, valid, started with no
# arguments, and in the system configuration's autostart folder (/etc for the /usr prefix).
autostart=$prefix/etc/xdg/autostart/org.quillet.Quillet.desktop
check "installs the autostart entry into etc/xdg/autostart" '[ -f "$autostart" ]'
check "the autostart entry is valid" 'desktop-file-validate "$autostart"'
check "it is the template with the catalogues' languages merged in" \
  'cmp -s "$autostart" "$build_dir/resources/translated/org.quillet.Quillet.autostart.desktop"'
# Translated the freedesktop way, the English keys as they were.
for file in "$prefix/share/applications/org.quillet.Quillet.desktop" "$autostart"; do
  for line in "Comment=Create new files of sixteen types wherever you are" \
              "Comment[de]=Neue Dateien von sechzehn Typen erstellen, wo immer Sie sind" \
              "Comment[fr]=Créer de nouveaux fichiers de seize types, où que vous soyez" \
              "Comment[es]=Cree archivos nuevos de dieciséis tipos, esté donde esté"; do
    check "$(basename "$file") has $line" 'grep -qxF "$line" "$file"'
  done
done
check "the Quick Create action is translated" \
  'grep -qxF "Name[de]=Schnellerstellung" "$prefix/share/applications/org.quillet.Quillet.desktop"'
for line in "Exec=quillet" "TryExec=quillet" "X-GNOME-Autostart-enabled=true"; do
  check "the autostart entry has $line" 'grep -qxF "$line" "$autostart"'
done
check "the autostart template is not among the resources" \
  '[ -z "$(find "$prefix" -name org.quillet.Quillet.autostart.desktop)" ]'
DESTDIR="$prefix/stage" "$cmake" --install "$build_dir" --prefix /usr >/dev/null
check "for /usr, staged into /etc/xdg/autostart" \
  '[ -f "$prefix/stage/etc/xdg/autostart/org.quillet.Quillet.desktop" ] && [ ! -e "$prefix/stage/usr/etc" ]'
DESTDIR="$prefix/stage-opt" "$cmake" --install "$build_dir" --prefix /opt/quillet >/dev/null
check "for /opt/quillet, staged into /etc/opt/quillet/xdg/autostart" \
  '[ -f "$prefix/stage-opt/etc/opt/quillet/xdg/autostart/org.quillet.Quillet.desktop" ]'
exit $fail
