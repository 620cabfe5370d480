#!/usr/bin/env bash
# The package installed system-wide, as an administrator installs it: `dpkg -i`, then a real
# Nautilus (in a private X session) loads the module from the system's extension folder and its
# background menu offers Quillet+'s "Create File"; /usr/bin/quillet runs; `dpkg --purge` leaves no
# file of the package behind. It changes the machine, so it runs only as root with CI=true.
# A module some other install put in the extension folder is set aside and put back afterwards.
# Usage: system_install_test.sh SOURCE_DIR BUILD_DIR     (the package from deb_package_test.sh)
set -u
source_dir=$1
build_dir=$2
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${QUILLET_SESSION_DIR:-}" ]; then
  if [ "$(id -u)" -ne 0 ] || [ "${CI:-}" != true ]; then
    echo "skipped: installs a package system-wide, so it runs only as root with CI=true"; exit 77
  fi
  command -v nautilus >/dev/null || { echo "skipped: nautilus is not installed"; exit 77; }
  deb=$(find "$build_dir/package-test" -maxdepth 1 -name 'quillet_*.deb' -print -quit 2>/dev/null)
  [ -n "$deb" ] || { echo "FAIL: no package in $build_dir/package-test (deb_package_test makes it)"; exit 1; }
  exec "$here/../support/x11-session.sh" --wm --accessibility -- "$0" "$source_dir" "$build_dir" "$deb"
fi
deb=$3
. "$here/../support/x11-wait.sh"
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
started=$(date +%s)
extensiondir=$(pkg-config --variable=extensiondir libnautilus-extension-4 2>/dev/null ||
  echo /usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/nautilus/extensions-4)
module=$extensiondir/libquillet-nautilus.so
work=$(mktemp -d "${TMPDIR:-/tmp}/quillet-system.XXXXXX")
aside=
folder_parent=
finish() {
  nautilus -q >/dev/null 2>&1
  dpkg --purge quillet >/dev/null 2>&1
  [ -n "$aside" ] && mv -f "$aside" "$module"
  rm -rf "$work" ${folder_parent:+"$folder_parent"}
}
trap finish EXIT

# A package left installed by an earlier run goes first; a module no package owns (a developer's
# `cmake --install --prefix /usr`) steps aside, since dpkg would replace and then remove it.
dpkg --purge quillet >/dev/null 2>&1
if [ -e "$module" ] && ! dpkg -S "$module" >/dev/null 2>&1; then
  aside=$extensiondir/.libquillet-nautilus.so.aside.$$
  mv "$module" "$aside"
fi

dpkg -i "$deb" >"$work/dpkg.log" 2>&1
check "dpkg -i installs it" '[ $? -eq 0 ] || { cat "$work/dpkg.log"; false; }'
check "dpkg knows it installed" '[ "$(dpkg-query -W -f="\${Status}" quillet)" = "install ok installed" ]'
check "its dependencies are met" 'dpkg --audit quillet >/dev/null && ! dpkg -C | grep -q quillet'
check "/usr/bin/quillet --version" '[ "$(/usr/bin/quillet --version)" = "Quillet+ $(dpkg-query -W -f="\${Version}" quillet | sed "s/-[^-]*$//")" ]'
check "quillet is the one on PATH" '[ "$(command -v quillet)" = /usr/bin/quillet ]'
check "the module is the package's" '[ "$(dpkg -S "$module" | cut -d: -f1)" = quillet ]'

# A launch writes no desktop or autostart entry of the user's own, which would shadow the
# system's; it runs the application program from /usr/libexec.
QUILLET_LOG=stderr /usr/bin/quillet >/dev/null 2>"$work/launch.log" &
app_pid=$!
started_app() { grep -q "Quillet+ started" "$work/launch.log"; }
check "the application starts from /usr" 'wait_until 30 "Quillet+ started" started_app || { cat "$work/launch.log"; false; }'
check "the running program is /usr/libexec/quillet-app" \
  '[ "$(readlink "/proc/$app_pid/exe")" = /usr/libexec/quillet-app ]'
kill -TERM "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null
check "a launch registers nothing for the user" '! grep -q "Registered the" "$work/launch.log" &&
  [ ! -e "$XDG_DATA_HOME/applications" ] && [ ! -e "$XDG_DATA_HOME/icons" ] && [ ! -e "$XDG_CONFIG_HOME/autostart" ] &&
  [ ! -e "$XDG_CONFIG_HOME/mimeapps.list" ]'

# --- Nautilus loads the module from the system folder and offers Create File ----------------
# The extension offers its menu in the folders it watches, which are under the real home (root's
# here), not in /tmp.
real_home=$(getent passwd "$(id -u)" | cut -d: -f6)
folder_parent=$(mktemp -d "$real_home/.quillet-system-test.XXXXXX")
folder=$folder_parent/Folder
mkdir -p "$folder"
mkdir -p "$XDG_DATA_HOME/nautilus" && touch "$XDG_DATA_HOME/nautilus/tracker2-migration-complete"
# GTK joins the accessibility bus of the session, where the menu is read as a screen reader does.
env -u GTK_A11Y -u NO_AT_BRIDGE QUILLET_LOG=stderr nautilus --new-window "$folder" >"$work/nautilus.log" 2>&1 &
nautilus_pid=$!
window=$(await_window 60 "a Nautilus window on $folder" --name '^Folder$') || fail=1
nautilus_loaded() { grep -qF "$module" "/proc/$nautilus_pid/maps" 2>/dev/null; }
check "Nautilus loaded $module" 'wait_until 30 "the module in Nautilus" nautilus_loaded'
menu_items() {
  /usr/bin/python3 - "$@" <<'PY'
import sys, gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi
def walk(node, depth=0):
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is None or depth > 60:
            continue
        if child.get_role_name() == "menu item":
            print(child.get_name())
        walk(child, depth + 1)
desktop = Atspi.get_desktop(0)
for i in range(desktop.get_child_count()):
    application = desktop.get_child_at_index(i)
    if application is not None and application.get_name() == "org.gnome.Nautilus":
        walk(application)
PY
}
offers_create_file() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove --sync $((X + WIDTH * 2 / 3)) $((Y + HEIGHT * 2 / 3)) click 3
  sleep 1
  menu_items >"$work/menu" 2>>"$work/atspi.log"
  grep -qx "Create File" "$work/menu" || { xdotool key Escape; false; }
}
if [ -n "${window:-}" ]; then
  check "its background menu offers Create File" 'wait_until 30 "Create File in the menu" offers_create_file'
  check "with the file types under it" 'grep -qx "Markdown" "$work/menu" && grep -qx "Word Document" "$work/menu"'
  check "the module built the menu" 'grep -q "Building menu for kind=" "$work/nautilus.log"'
  [ $fail -eq 0 ] || { echo "menu items:"; sed 's/^/  /' "$work/menu"; tail -n 20 "$work/nautilus.log" | sed 's/^/  nautilus: /'; }
  import -window root "$work/menu.png" 2>/dev/null && cp "$work/menu.png" "$build_dir/package-test/nautilus-menu.png" 2>/dev/null
fi
nautilus -q >/dev/null 2>&1
wait_until 10 "Nautilus quit" eval '! kill -0 $nautilus_pid 2>/dev/null' || kill "$nautilus_pid" 2>/dev/null

# --- Purge ----------------------------------------------------------------------------------
dpkg-query -L quillet | sort -r >"$work/files"
dpkg --purge quillet >"$work/purge.log" 2>&1
check "dpkg --purge removes it" '[ $? -eq 0 ] || { cat "$work/purge.log"; false; }'
check "dpkg no longer knows it" '! dpkg-query -W quillet >/dev/null 2>&1 || [ -z "$(dpkg-query -W -f="\${Status}" quillet | grep -v "not-installed")" ]'
# Each of its files is gone, and each of its folders unless another package has it too.
left=$(while read -r file; do
  [ "$file" = /. ] && continue
  [ -e "$file" ] || [ -L "$file" ] || continue
  if [ -d "$file" ] && [ ! -L "$file" ] && dpkg -S "$file" >/dev/null 2>&1; then continue; fi
  echo "$file"
done <"$work/files")
check "nothing of it is left${left:+: $left}" '[ -z "$left" ]'
for gone in /usr/bin/quillet /usr/libexec/quillet-app /usr/share/quillet "$module" \
            /etc/xdg/autostart/org.quillet.Quillet.desktop /usr/share/applications/org.quillet.Quillet.desktop; do
  check "$gone is gone" '[ ! -e "$gone" ]'
done
echo "system install test took $(( $(date +%s) - started )) s"
exit $fail
