#!/usr/bin/env bash
# "quillet uninstall" run from a copy of the built program laid out as a per-user bundle, in a
# private session (Xvfb, a private bus that can start only Nautilus, private HOME and XDG
# folders, so the Trash is the test's own) with a real Nautilus running. The confirmation is
# answered on standard input, the terminal form of the alert. Then the same as an unprivileged
# user whose bundle lies in a folder they cannot change: every way of trashing fails.
# Usage: uninstall_e2e.sh QUILLET_BINARY
set -u
quillet=$1
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${QUILLET_SESSION_DIR:-}" ]; then
  command -v nautilus >/dev/null || { echo "SKIP: nautilus is not installed"; exit 77; }
  exec "$here/../../support/x11-session.sh" --services "$here/services" -- "$0" "$@"
fi

. "$here/../../support/x11-wait.sh"
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; fail=1; fi; }
build_prefix=$(cd "$(dirname "$quillet")/.." && pwd)
# A bundle as the per-user install lays it out: bin/, libexec/ and share/quillet/.
make_bundle() {  # BUNDLE
  mkdir -p "$1/bin" "$1/libexec" "$1/share" &&
    cp "$build_prefix/bin/quillet" "$1/bin/quillet" &&
    cp "$build_prefix/libexec/quillet-app" "$1/libexec/quillet-app" &&
    cp -r "$build_prefix/share/quillet" "$1/share/quillet"
}
bus() { gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
  --method "org.freedesktop.DBus.$1" "${@:2}" 2>/dev/null; }
nautilus_pid() { bus GetConnectionUnixProcessID org.gnome.Nautilus | tr -dc 0-9; }
nautilus_owned() { [ "$(bus NameHasOwner org.gnome.Nautilus)" = "(true,)" ]; }

# ---- as the user, with Nautilus running: the bundle goes to the Trash, the settings go away

work=$QUILLET_SESSION_DIR/work
# The folder holding the bundle has a double quote and a backslash in its name; the Trash takes
# the path as it is.
apps="$work/Apps \"q\\uote\""
bundle="$apps/Quillet+.app"
make_bundle "$bundle" || { echo "FAIL: could not lay out the bundle"; exit 1; }
export QUILLET_LOG=stderr
"$bundle/bin/quillet" defaults write enabledFileTypeIDs -json '["txt"]' >/dev/null
"$bundle/bin/quillet" defaults write --standard launchCount -json 3 >/dev/null
mkdir -p "$HOME/Desktop"
"$bundle/bin/quillet" create txt "$HOME/Desktop" >/dev/null 2>&1
echo "kept" >"$apps/notes.txt"
check "settings saved before" '[ -f "$XDG_CONFIG_HOME/group.org.quillet.Quillet/Defaults.sqlite" ]'
check "a file created before" '[ -f "$HOME/Desktop/Untitled.txt" ]'
# A first launch registers the bundle with the desktop (entry, icon, quillaxe: handler, autostart).
env -u DISPLAY "$bundle/bin/quillet" 2>"$work/launch.log" & app=$!
registered() { grep -q "Registered the scheme handler" "$work/launch.log" && grep -q "Registered the autostart entry" "$work/launch.log"; }
wait_until 20 "the bundle registered" registered || cat "$work/launch.log"
servicemenu=$XDG_DATA_HOME/kio/servicemenus/org.quillet.Quillet.desktop
wait_until 20 "Dolphin's menu written" test -f "$servicemenu"
actions=$XDG_DATA_HOME/file-manager/actions
wait_until 20 "PCManFM-Qt's menu written" test -f "$actions/org.quillet.Quillet-txt.desktop"
kill -TERM $app; wait $app
entry=$XDG_DATA_HOME/applications/org.quillet.Quillet.desktop
icon=$XDG_DATA_HOME/icons/hicolor/scalable/apps/org.quillet.Quillet.svg
autostart=$XDG_CONFIG_HOME/autostart/org.quillet.Quillet.desktop
check "registered before" '[ -f "$entry" ] && [ -f "$icon" ] && grep -q "^x-scheme-handler/quillaxe=" "$XDG_CONFIG_HOME/mimeapps.list"'
check "starts at login before" '[ -f "$autostart" ]'
check "Dolphin's menu written before" '[ -f "$servicemenu" ]'
check "PCManFM-Qt's menu written before" '[ -f "$actions/org.quillet.Quillet.desktop" ]'

# A first start of Nautilus migrates old starred-file data; the stamp says that is done.
mkdir -p "$XDG_DATA_HOME/nautilus" && touch "$XDG_DATA_HOME/nautilus/tracker2-migration-complete"
nautilus --gapplication-service >"$work/nautilus.log" 2>&1 &
wait_until 30 "Nautilus on the bus" nautilus_owned || fail=1
first_pid=$(nautilus_pid)
check "Nautilus runs (pid $first_pid)" '[ -n "$first_pid" ]'

start=$(date +%s%N)
printf 'Uninstall\n' | env -u DISPLAY "$bundle/bin/quillet" uninstall >"$work/out" 2>"$work/err"
rc=$?
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
echo "uninstall took ${elapsed_ms} ms"
trash=$XDG_DATA_HOME/Trash
check "status 0" '[ $rc -eq 0 ]'
check "asked first" 'grep -q "^Uninstall Quillet+?$" "$work/err" && grep -q "^Uninstall / Cancel \[Cancel\]: " "$work/err"'
check "the bundle is gone from its place" '[ ! -e "$bundle" ]'
check "the bundle lies in the Trash" '[ -x "$trash/files/Quillet+.app/bin/quillet" ]'
check "with its .trashinfo naming the original path" \
  '[ "$(python3 -c "import sys, urllib.parse; print(urllib.parse.unquote(sys.argv[1]))" "$(sed -n "s/^Path=//p" "$trash/info/Quillet+.app.trashinfo")")" = "$bundle" ]'
check "Nautilus was asked to quit" 'grep -qx "Uninstall default: Terminating Finder to unload the Finder extension before uninstall" "$work/err"'
check "it quit in time" '! grep -q "Finder did not terminate" "$work/err"'
check "logged where the bundle went" 'grep -qxF "Uninstall default: Moved Quillet+ to Trash at $trash/files/Quillet+.app" "$work/err"'
check "the first Nautilus has ended" '! kill -0 "$first_pid" 2>/dev/null || grep -q "^Z" <(ps -o stat= -p "$first_pid")'
wait_until 30 "Nautilus started again" nautilus_owned || true
check "Nautilus runs again (pid $(nautilus_pid))" '[ -n "$(nautilus_pid)" ] && [ "$(nautilus_pid)" != "$first_pid" ]'
check "the shared container is gone" '[ ! -e "$XDG_CONFIG_HOME/group.org.quillet.Quillet" ]'
check "the own domain has no settings left" '! "$trash/files/Quillet+.app/bin/quillet" defaults read --standard launchCount >/dev/null 2>&1'
check "the registration is gone" '[ ! -e "$entry" ] && [ ! -e "$icon" ] && ! grep -q "quillaxe" "$XDG_CONFIG_HOME/mimeapps.list"'
check "no longer starts at login" '[ ! -e "$autostart" ]'
check "no Dolphin menu left" '[ ! -e "$servicemenu" ]'
check "no PCManFM-Qt menu left" '[ -z "$(ls -A "$actions")" ]'
check "the file created before is still there" '[ -f "$HOME/Desktop/Untitled.txt" ]'
check "so is the file beside the bundle" '[ "$(cat "$apps/notes.txt")" = kept ]'
if [ $fail -ne 0 ]; then sed 's/^/  stderr: /' "$work/err"; fi

# ---- the file manager's own way: the program's Trash cannot be made (a file stands where its
# folder would be), so the first two ways fail; Nautilus, started by the bus with the session's
# folders, moves the bundle into the session's Trash.

apps2="$work/Second \"q\\uote\""
bundle2="$apps2/Quillet+.app"
make_bundle "$bundle2" || { echo "FAIL: could not lay out the second bundle"; exit 1; }
mkdir -p "$work/blocked-data" && echo "not a folder" >"$work/blocked-data/Trash"
printf 'Uninstall\n' | env -u DISPLAY XDG_DATA_HOME="$work/blocked-data" "$bundle2/bin/quillet" uninstall \
  >"$work/out3" 2>"$work/err3"
rc=$?
check "finder way: status 0" '[ $rc -eq 0 ]'
check "finder way: the first two ways failed" \
  'grep -q "FileManager trash attempt failed" "$work/err3" && grep -q "NSWorkspace trash attempt failed" "$work/err3"'
check "finder way: no Finder failure" '! grep -q "Finder trash attempt failed" "$work/err3"'
check "finder way: the bundle is gone from its place" '[ ! -e "$bundle2" ]'
check "finder way: nothing was moved beneath the working folder" '[ ! -e "$PWD/files" ] && [ ! -e "$PWD/info" ]'
check "finder way: it lies in the session's Trash" \
  'grep -lxF "Path=$(python3 -c "import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1]))" "$bundle2")" "$trash"/info/*.trashinfo >/dev/null'
[ $fail -ne 0 ] && sed 's/^/  stderr: /' "$work/err3"

# ---- as an unprivileged user, the bundle in a folder owned by root: nothing can move it

if user=$(getent passwd nobody | cut -d: -f1) && [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null &&
   command -v dbus-run-session >/dev/null; then
  shared=$(mktemp -d "${TMPDIR:-/tmp}/quillet-uninstall-shared.XXXXXX")
  trap 'rm -rf "$shared"' EXIT
  chmod 755 "$shared"
  locked="$shared/Locked"
  make_bundle "$locked/Quillet+.app"
  chmod -R a+rX "$locked"
  mkdir -p "$shared/home"/{config,data,runtime}
  chown -R nobody "$shared/home"
  chmod 700 "$shared/home/runtime"
  as_user() {
    setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups \
      env -i PATH="$PATH" HOME="$shared/home" XDG_CONFIG_HOME="$shared/home/config" \
      XDG_DATA_HOME="$shared/home/data" XDG_RUNTIME_DIR="$shared/home/runtime" QUILLET_LOG=stderr "$@"
  }
  as_user "$locked/Quillet+.app/bin/quillet" defaults write enabledFileTypeIDs -json '["md"]' >/dev/null
  # A session bus of the user's own, where Nautilus cannot start (no display).
  printf 'Uninstall\n' | as_user dbus-run-session -- "$locked/Quillet+.app/bin/quillet" uninstall \
    >"$work/out2" 2>"$work/err2"
  rc=$?
  check "unprivileged: status 1" '[ $rc -eq 1 ]'
  check "unprivileged: the bundle stays" '[ -x "$locked/Quillet+.app/bin/quillet" ]'
  check "unprivileged: the alert names every attempt in order" \
    'python3 - "$work/err2" <<"PY"
import re, sys
text = open(sys.argv[1]).read()
m = re.search(r"^Could not uninstall Quillet\+\nQuillet\+ could not be moved to the Trash\.\n\n"
              r"Qt: [^\n]+\nGIO: [^\n]+\nGNOME Files: [^\n]+\n\n"
              r"Quit Quillet\+, move the app to the Trash manually, then log out and back in so the file "
              r"manager lets go of its Create File menu\.$", text, re.M)
sys.exit(0 if m else 1)
PY'
  check "unprivileged: logged as one failure" 'grep -q "^Uninstall error: Uninstall failed: Quillet+ could not be moved to the Trash.$" "$work/err2"'
  check "unprivileged: no file manager was running, none was quit" '! grep -q "Terminating Finder" "$work/err2"'
  check "unprivileged: settings untouched" \
    '[ "$(as_user "$locked/Quillet+.app/bin/quillet" defaults read enabledFileTypeIDs 2>/dev/null | tr -d "[:space:]")" = "[\"md\"]" ]'
  [ $fail -ne 0 ] && sed 's/^/  stderr: /' "$work/err2"
else
  echo "skipped: the unprivileged run needs root, the nobody user, setpriv and dbus-run-session"
fi

[ $fail -eq 0 ] && echo "uninstall e2e: all passed"
exit $fail
