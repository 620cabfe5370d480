#!/usr/bin/env bash
# Global shortcuts in a Wayland session (the program's windows drawn on Xvfb, as through
# XWayland; the session type says Wayland, so no X11 grab is tried). First through a stand-in
# global shortcuts portal: the set bound with its ids, descriptions and triggers, a press opening
# the Quick Create panel, a settings change re-binding, a refusal logged. Then through GNOME's
# custom key bindings (keyfile settings backend): the binding's command run against the running
# instance and without one. Then with neither: the log says why.
# Runs inside tests/support/x11-session.sh --wm.
set -u
quillet=$1
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
for tool in xdotool gdbus /usr/bin/python3; do command -v $tool >/dev/null || { echo "$tool missing"; exit 77; }; done
support=$(cd "$(dirname "$0")/../../support" && pwd)
work=$(mktemp -d)
pid=
portal=
viewer=
trap 'kill -KILL $pid $portal $viewer 2>/dev/null; rm -rf "$work"' EXIT
export QUILLET_LOG=stderr XDG_SESSION_TYPE=wayland
wait_for() {  # condition, tenths of a second
  for _ in $(seq 1 "$2"); do eval "$1" && return 0; sleep 0.1; done
  return 1
}
portal_control() {
  gdbus call --session -d org.freedesktop.portal.Desktop -o /org/quillet/Test \
    -m "org.quillet.Test.StandInPortal.$1" "${@:2}"
}
# The calls the portal received of one method, one JSON list per line.
portal_calls() {
  portal_control Calls | /usr/bin/python3 -c '
import ast, json, sys
calls = json.loads(ast.literal_eval(sys.stdin.read().strip())[0])
for call in calls:
    if call["method"] == sys.argv[1]:
        print(json.dumps(sorted([s[0], s[1]["description"], s[1]["preferred_trigger"]] for s in call.get("shortcuts", []))))
' "$1"
}
stop_instance() {
  kill -TERM $pid 2>/dev/null
  wait_for "! kill -0 $pid 2>/dev/null" 100
}
mkdir -p "$HOME/Desktop"
echo "XDG_DESKTOP_DIR=\"$HOME/Desktop\"" >"$XDG_CONFIG_HOME/user-dirs.dirs"
"$support/fake_file_manager.py" '{}' >"$work/viewer.out" 2>&1 &
viewer=$!

# --- The portal.
/usr/bin/python3 "$support/stand_in_portal.py" >"$work/portal.out" 2>&1 &
portal=$!
check "the stand-in portal runs" 'wait_for "grep -q ready $work/portal.out" 100'
# Ctrl+Alt+M creates Markdown (key code 46, Control + Option).
"$quillet" defaults write fileTypeShortcuts \
  -data "$(printf '%s' '{"md":{"keyCode":46,"carbonModifiers":6144}}' | od -An -tx1 | tr -d ' \n')" >/dev/null
"$quillet" 2>"$work/portal.log" &
pid=$!
check "the portal is chosen" 'wait_for "grep -q \"Global shortcuts through portal\" $work/portal.log" 150'
check "the portal bound Quick Create" 'wait_for "grep -q \"Registered Ctrl+Alt+N hot key\" $work/portal.log" 100'
check "and the Markdown shortcut" 'grep -q "Registered Ctrl+Alt+M hot key" "$work/portal.log"'
check "no X11 grab was tried" '! grep -q "hot key handler" "$work/portal.log"'
check "one session, one binding with ids, descriptions and triggers" '[ "$(portal_calls CreateSession | wc -l)" = 1 ] &&
  [ "$(portal_calls BindShortcuts)" = "[[\"create-md\", \"New Markdown File\", \"CTRL+ALT+M\"], [\"quick-create\", \"Show Quick Create\", \"CTRL+ALT+N\"]]" ]'

portal_control Activate quick-create >/dev/null
panel=
wait_for 'panel=$(xdotool search --onlyvisible --name "^Create File$" 2>/dev/null | head -1); [ -n "$panel" ]' 100
check "a press from the portal opens the panel" '[ -n "$panel" ]'
xdotool key Escape
portal_control Activate create-md >/dev/null
check "a press of the direct shortcut creates the file" 'wait_for "[ -f \"$HOME/Desktop/Untitled.md\" ]" 100'

# A shortcut the command line writes re-binds the whole set, once.
"$quillet" defaults write quickCreateShortcut \
  -data 7b226b6579436f6465223a33312c22636172626f6e4d6f64696669657273223a363134347d
check "a changed shortcut is bound again" 'wait_for "[ \"\$(portal_calls BindShortcuts | wc -l)\" = 2 ]" 100 &&
  portal_calls BindShortcuts | tail -1 | grep -q "\"quick-create\", \"Show Quick Create\", \"CTRL+ALT+O\""'
check "and registered" 'wait_for "grep -q \"Registered Ctrl+Alt+O hot key\" $work/portal.log" 50'
# The user turns the portal's dialog down.
portal_control AnswerNextBind 1 "[]" >/dev/null
"$quillet" defaults delete quickCreateShortcut >/dev/null
check "a refusal is logged" 'wait_for "grep -q \"Failed to register Ctrl+Alt+N hot key: -128\" $work/portal.log" 100'
stop_instance
check "the session is closed on quit" 'wait_for "portal_control Calls | grep -q Close" 30'
kill $portal; wait $portal 2>/dev/null; portal=

# --- GNOME's key bindings, in settings kept in a key file of this session.
export XDG_CURRENT_DESKTOP=GNOME GSETTINGS_BACKEND=keyfile
keyfile=$XDG_CONFIG_HOME/glib-2.0/settings/keyfile
"$quillet" 2>"$work/gnome.log" &
pid=$!
check "GNOME's key bindings are chosen" 'wait_for "grep -q \"Global shortcuts through gnome-keybindings\" $work/gnome.log" 150'
check "they are written" 'wait_for "grep -q \"quillet-create-md\" \"$keyfile\" 2>/dev/null" 100'
# The command as the desktop reads it (gsettings prints it as a GVariant text).
command=$(gsettings get org.gnome.settings-daemon.plugins.media-keys.custom-keybinding:/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/quillet-create-md/ command |
  /usr/bin/python3 -c 'import ast, sys; print(ast.literal_eval(sys.stdin.read().strip()))')
expected="'$quillet' 'create' 'md' '--destination' 'desktop'"
check "the Markdown binding runs the launcher" '[ "$command" = "$expected" ]'
run_binding() { eval "$command"; }
run_binding >"$work/out" 2>&1; rc=$?
check "run with the instance up, the launch is handed over" '[ $rc -eq 0 ] &&
  wait_for "grep -q \"Request from another launch: create\" $work/gnome.log" 50'
check "and the instance creates the file" 'wait_for "[ -f \"$HOME/Desktop/Untitled 2.md\" ]" 100'
stop_instance
run_binding >"$work/out" 2>&1; rc=$?
check "run without an instance, the command creates the file itself" '[ $rc -eq 0 ] && [ -f "$HOME/Desktop/Untitled 3.md" ]'
check "and prints it as the command does" 'grep -qx "$HOME/Desktop/Untitled 3.md" "$work/out"'

# --- Neither: the log says why.
export XDG_CURRENT_DESKTOP=sway
"$quillet" 2>"$work/none.log" &
pid=$!
check "without a way the log says why" 'wait_for "grep -q \"Global shortcuts are not available: the Wayland session has no global shortcuts portal\" $work/none.log" 150'
stop_instance

if [ $fail -ne 0 ]; then
  for log in portal gnome none; do echo "--- $log"; cat "$work/$log.log" 2>/dev/null; done
fi
exit $fail
