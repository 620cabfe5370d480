#!/usr/bin/env bash
# Quick Create on a real X server, as a person uses it: the hot key opens the panel near the
# pointer, typing "mark" and clicking Markdown creates the file on the Desktop, and a direct
# shortcut creates one at once. The application runs as a throw-away account with a home of its
# own, so the Desktop written to is never a real user's.
# Runs inside tests/support/x11-session.sh --wm; needs root (to make the account) or skips.
set -u
quillet=$1
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
wait_for() {  # condition, tenths of a second
  for _ in $(seq 1 "$2"); do eval "$1" && return 0; sleep 0.1; done
  return 1
}
[ "$(id -u)" -eq 0 ] || { echo "needs root to create a test account"; exit 77; }
for tool in xdotool useradd userdel runuser; do command -v $tool >/dev/null || { echo "$tool missing"; exit 77; }; done

user=qlt$$
base=$(mktemp -d)
chmod 755 "$base"
home=$base/home
pid=
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  userdel "$user" 2>/dev/null
  rm -rf "$base"
}
trap cleanup EXIT
useradd --home-dir "$home" --create-home --shell /bin/sh --no-user-group --gid nogroup "$user" || exit 77
as_user() {
  runuser -u "$user" -- env -i PATH="$PATH" DISPLAY="$DISPLAY" HOME="$home" \
    XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/.run" QUILLET_LOG=stderr "$@"
}
as_user mkdir -p "$home/Desktop" "$home/.run"
chmod 700 "$home/.run"

# ⌃⌥M creates Markdown at once (key code 46, Control + Option).
hex=$(printf '%s' '{"md":{"keyCode":46,"carbonModifiers":6144}}' | od -An -tx1 | tr -d ' \n')
as_user "$quillet" defaults write fileTypeShortcuts -data "$hex" >/dev/null

as_user "$quillet" 2>"$base/app.log" &
pid=$!
check "registers the direct shortcut" 'wait_for "grep -q \"Registered ⌃ + ⌥ + M hot key\" $base/app.log" 150'

# The panel opens near the pointer: centred on it horizontally, its bottom edge 96 below it,
# but kept 12 inside the screen (1280 x 800 here).
xdotool mousemove 700 560
xdotool key ctrl+alt+n
check "the hot key opens the panel" 'wait_for "xdotool search --onlyvisible --name \"^Create File\" >/dev/null 2>&1" 50'
panel=$(xdotool search --onlyvisible --name "^Create File" 2>/dev/null | head -1)
geometry=$(xdotool getwindowgeometry --shell "$panel" 2>/dev/null)
eval "$geometry"
echo "panel at $X,$Y size ${WIDTH}x$HEIGHT"
check "the panel is centred on the pointer" '[ $((X + WIDTH / 2)) -ge 680 ] && [ $((X + WIDTH / 2)) -le 720 ]'
check "the panel ends 96 below the pointer" '[ $((Y + HEIGHT)) -ge 636 ] && [ $((Y + HEIGHT)) -le 676 ]'

# Typing narrows the list to Markdown; clicking its tile creates the file on the Desktop.
check "the search field has the focus" 'wait_for "[ \"\$(xdotool getactivewindow 2>/dev/null)\" = \"$panel\" ]" 30'
xdotool type --delay 30 "mark"
sleep 0.3
xdotool mousemove --window "$panel" 100 172 click 1
check "clicking Markdown creates it on the Desktop" 'wait_for "[ -f \"$home/Desktop/Untitled.md\" ]" 50'
check "the file belongs to the account" '[ "$(stat -c %U "$home/Desktop/Untitled.md" 2>/dev/null)" = "$user" ]'
check "logs the creation" 'wait_for "grep -q \"Created $home/Desktop/Untitled.md\" $base/app.log" 20'

xdotool key Escape
check "Escape hides the panel" 'wait_for "! xdotool search --onlyvisible --name \"^Create File\" >/dev/null 2>&1" 30'

# The direct shortcut needs no panel.
xdotool key ctrl+alt+m
check "the direct shortcut creates the next one" 'wait_for "[ -f \"$home/Desktop/Untitled 2.md\" ]" 50'
check "nothing else was created" '[ "$(ls "$home/Desktop" | wc -l)" -eq 2 ]'

[ $fail -eq 0 ] || cat "$base/app.log"
exit $fail
