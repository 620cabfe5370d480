#!/usr/bin/env bash
# The per-user bundle end to end: made from the current build, packed as one Quillet+.app/
# folder, installed into a throw-away home's Applications (whose path needs quoting in a desktop
# entry), run once, and then the desktop knows it: a valid desktop entry starting the bundle's
# program, its icon, the quillaxe: handler that "gio open" reaches, and its autostart entry. The build tree's own
# program registers nothing. No display: the application runs on the window-less platform.
set -u
source_dir=$1
build_dir=$2
make_bundle=$source_dir/packaging/make-bundle.sh
install_bundle=$source_dir/packaging/install-bundle.sh
for tool in tar xz python3 desktop-file-validate; do
  command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quillet bundle.XXXXXX")
pid=
trap '[ -n "$pid" ] && kill -KILL $pid 2>/dev/null; rm -rf "$scratch"' EXIT
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
wait_for() {  # condition, tenths of a second
  for _ in $(seq 1 "$2"); do eval "$1" && return 0; sleep 0.1; done
  return 1
}

# --- Making the archive ---------------------------------------------------------------------
version=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["CFBundleShortVersionString"])' \
  "$build_dir/share/quillet/Info.json")
archive=$("$make_bundle" "$build_dir" "$scratch/out" 2>"$scratch/make.log")
check "make-bundle succeeds" '[ $? -eq 0 ] || { cat "$scratch/make.log"; false; }'
check "the archive is named after the version" '[ "$archive" = "$scratch/out/Quillet+-$version.tar.xz" ] && [ -f "$archive" ]'
check "one top-level folder, Quillet+.app/" \
  '[ "$(tar --list --file "$archive" | cut -d/ -f1 | sort -u)" = "Quillet+.app" ]'
check "the folder itself is an entry" 'tar --list --file "$archive" | grep -qx "Quillet+.app/"'
for entry in bin/quillet libexec/quillet-app share/quillet/Info.json share/quillet/blank.docx \
             share/quillet/blank.xlsx share/quillet/blank.pptx share/quillet/org.quillet.Quillet.desktop \
             share/quillet/org.quillet.Quillet.autostart.desktop share/quillet/org.quillet.Quillet.svg; do
  check "the archive has $entry" 'tar --list --file "$archive" | grep -qx "Quillet+.app/$entry"'
done
check "every entry belongs to 0/0" \
  '! tar --list --verbose --numeric-owner --file "$archive" | awk "{print \$2}" | grep -vqx "0/0"'
check "names are sorted" '[ "$(tar --list --file "$archive")" = "$(tar --list --file "$archive" | LC_ALL=C sort)" ]'
again=$("$make_bundle" "$build_dir" "$scratch/again" 2>/dev/null)
check "the same build gives the same archive" 'cmp -s "$archive" "$again"'
mkdir -p "$scratch/unpacked"
tar --extract --file "$archive" --directory "$scratch/unpacked"
check "the bundle names no build folder" '! grep -rqF "$build_dir" "$scratch/unpacked" && ! grep -rqF "$source_dir" "$scratch/unpacked"'

# A build without the program is refused, saying why.
mkdir -p "$scratch/no-gui" "$scratch/not-a-build"
echo "QUILLET_BUILD_GUI:BOOL=OFF" >"$scratch/no-gui/CMakeCache.txt"
err=$("$make_bundle" "$scratch/no-gui" "$scratch/out2" 2>&1 >/dev/null); rc=$?
check "a build without the program fails" '[ $rc -ne 0 ] && [[ $err == *"does not build the program"* ]]'
err=$("$make_bundle" "$scratch/not-a-build" "$scratch/out2" 2>&1 >/dev/null); rc=$?
check "a folder that is no build fails" '[ $rc -ne 0 ] && [[ $err == *"not a CMake build folder"* ]]'
check "and leaves no output" '[ ! -e "$scratch/out2/Quillet+.app" ]'

# --- Installing it for a throw-away user ----------------------------------------------------
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS APP_SANDBOX_CONTAINER_ID
export HOME="$scratch/it's \$home" XDG_DATA_HOME=$scratch/data XDG_CONFIG_HOME=$scratch/config
export XDG_DATA_DIRS=$scratch/system-data XDG_RUNTIME_DIR=$scratch/runtime QUILLET_LOG=stderr
mkdir -p "$HOME" "$XDG_DATA_DIRS" && mkdir -m 0700 "$XDG_RUNTIME_DIR"
bundle=$HOME/Applications/Quillet+.app

installed=$("$install_bundle" "$archive" 2>"$scratch/install.log")
check "install-bundle succeeds" '[ $? -eq 0 ] || { cat "$scratch/install.log"; false; }'
check "into ~/Applications/Quillet+.app" '[ "$installed" = "$bundle" ] && [ -x "$bundle/bin/quillet" ]'
check "nothing else beside it" '[ "$(ls -A "$HOME/Applications")" = "Quillet+.app" ]'
touch "$bundle/marker"
err=$("$install_bundle" "$archive" 2>&1 >/dev/null); rc=$?
check "an installed bundle is kept without --replace" '[ $rc -ne 0 ] && [[ $err == *"--replace"* ]] && [ -e "$bundle/marker" ]'
check "--replace replaces it" '"$install_bundle" --replace "$archive" >/dev/null && [ ! -e "$bundle/marker" ] && [ -x "$bundle/bin/quillet" ]'
check "and leaves nothing beside it" '[ "$(ls -A "$HOME/Applications")" = "Quillet+.app" ]'
# An archive with a name outside the bundle, or a link, is refused before anything is unpacked.
mkdir -p "$scratch/evil/Quillet+.app/bin"
ln -s /etc/passwd "$scratch/evil/Quillet+.app/bin/quillet"
tar --create --file "$scratch/link.tar.xz" --xz -C "$scratch/evil" Quillet+.app
tar --create --file "$scratch/outside.tar.xz" --xz -C "$scratch" no-gui
for bad in link outside; do
  "$install_bundle" "$scratch/$bad.tar.xz" "$scratch/evil-apps" >/dev/null 2>&1; rc=$?
  check "the $bad archive is refused" '[ $rc -ne 0 ] && [ -z "$(ls -A "$scratch/evil-apps" 2>/dev/null)" ]'
done

# --- Running it -----------------------------------------------------------------------------
check "--version" '[ "$("$bundle/bin/quillet" --version)" = "Quillet+ $version" ]'
check "a command writes no registration" '[ ! -e "$XDG_DATA_HOME" ] && [ ! -e "$XDG_CONFIG_HOME/mimeapps.list" ]'

"$bundle/bin/quillet" 2>"$scratch/first.log" &
pid=$!
check "the application starts" 'wait_for "grep -q \"Quillet+ started\" \"$scratch/first.log\"" 100'
kill -TERM $pid; wait $pid; pid=

entry=$XDG_DATA_HOME/applications/org.quillet.Quillet.desktop
icon=$XDG_DATA_HOME/icons/hicolor/scalable/apps/org.quillet.Quillet.svg
check "logs what it registered" '[ "$(grep -c "Registered the" "$scratch/first.log")" -eq 4 ]'
check "the desktop entry is written" '[ -f "$entry" ]'
check "and valid" 'desktop-file-validate "$entry"'
check "it starts the bundle" 'grep -qxF "TryExec=$bundle/bin/quillet" "$entry" && grep -q "^Exec=\".*Quillet+.app/bin/quillet\" %u$" "$entry"'
check "the icon is the bundle's" 'cmp -s "$icon" "$bundle/share/quillet/org.quillet.Quillet.svg"'
check "it handles quillaxe: links" \
  'grep -qx "x-scheme-handler/quillaxe=org.quillet.Quillet.desktop" "$XDG_CONFIG_HOME/mimeapps.list"'
autostart=$XDG_CONFIG_HOME/autostart/org.quillet.Quillet.desktop
check "it starts at login" '[ -f "$autostart" ] && desktop-file-validate "$autostart" && grep -qx "X-GNOME-Autostart-enabled=true" "$autostart"'
check "the bundle's program, with no arguments" \
  'grep -qxF "TryExec=$bundle/bin/quillet" "$autostart" && grep -q "^Exec=\".*Quillet+.app/bin/quillet\"$" "$autostart"'

"$bundle/bin/quillet" 2>"$scratch/second.log" &
pid=$!
wait_for "grep -q \"Quillet+ started\" \"$scratch/second.log\"" 100
kill -TERM $pid; wait $pid; pid=
check "a second run writes nothing" '! grep -q "Registered the" "$scratch/second.log"'

# xdg-mime (1.1.3) splits its search folders at spaces, and this home's path has one on purpose:
# it is asked through links without spaces to the same folders; gio below reads the real ones.
if command -v xdg-mime >/dev/null; then
  plain=$(mktemp -d)
  ln -s "$XDG_DATA_HOME" "$plain/data" && ln -s "$XDG_CONFIG_HOME" "$plain/config" && ln -s "$XDG_DATA_DIRS" "$plain/system"
  check "xdg-mime names the entry" \
    '[ "$(XDG_DATA_HOME=$plain/data XDG_CONFIG_HOME=$plain/config XDG_DATA_DIRS=$plain/system xdg-mime query default x-scheme-handler/quillaxe)" = org.quillet.Quillet.desktop ]'
  rm -rf "$plain"
fi
if command -v gio >/dev/null; then
  check "gio names the entry" \
    'gio mime x-scheme-handler/quillaxe | head -1 | grep -qF "x-scheme-handler/quillaxe”: org.quillet.Quillet.desktop"'
  # The desktop runs the entry's Exec line: the quoted path reaches the bundle's program.
  mkdir -p "$scratch/work"
  gio open "quillaxe://create?type=md&directory=$(python3 -c 'import sys,urllib.parse; print(urllib.parse.quote(sys.argv[1]))' "$scratch/work")" \
    2>"$scratch/gio.log"
  check "gio open runs the bundle's program" 'wait_for "[ -f \"$scratch/work/Untitled.md\" ]" 100 || { cat "$scratch/gio.log"; false; }'
fi

# --- The build tree's program is no bundle ----------------------------------------------------
export XDG_DATA_HOME=$scratch/tree-data XDG_CONFIG_HOME=$scratch/tree-config
"$build_dir/bin/quillet" 2>"$scratch/tree.log" &
pid=$!
check "the built program starts" 'wait_for "grep -q \"Quillet+ started\" \"$scratch/tree.log\"" 100'
kill -TERM $pid; wait $pid; pid=
check "and registers nothing" '[ ! -e "$XDG_DATA_HOME" ] && [ ! -e "$XDG_CONFIG_HOME/mimeapps.list" ] && [ ! -e "$XDG_CONFIG_HOME/autostart" ] && ! grep -q "Registered the" "$scratch/tree.log"'
exit $fail
