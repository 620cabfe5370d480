#!/usr/bin/env bash
# Quick Create on a real X server, as a person uses it: the hot key opens the panel near the
# pointer, typing "mark" narrows the tiles to Markdown and clicking that tile creates the file on
# the Desktop, and a direct shortcut creates one at once. The application runs as a throw-away
# account with a home of its own, so the Desktop written to is never a real user's. The tile is
# found by its name on the accessibility bus, as a screen reader finds it, and clicked there.
# Runs inside tests/support/x11-session.sh --wm; needs root (to make the account) or skips.
set -u
quillet=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
support=$(cd "$(dirname "$0")/../../support" && pwd)
. "$support/account-program.sh"
. "$support/x11-wait.sh"
. "$support/accessibility.sh"
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
[ "$(id -u)" -eq 0 ] || { echo "needs root to create a test account"; exit 77; }
for tool in xdotool xwininfo useradd userdel setpriv setsid dbus-daemon dbus-send "$ACCESSIBILITY_LAUNCHER"; do
  command -v $tool >/dev/null || { echo "$tool missing"; exit 77; }
done
/usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
  { echo "the AT-SPI bindings for Python (gir1.2-atspi-2.0, python3-gi) are missing"; exit 77; }

user=qlt$$
base=$(mktemp -d)
chmod 755 "$base"
home=$base/home
cd "$base"  # the account runs here: the test's own folder may be closed to it
# Each program of the account runs in a process group of its own, stopped before the account is
# removed: userdel refuses an account that still runs something.
groups=()
cleanup() {
  local group
  for group in "${groups[@]}"; do kill -KILL -- "-$group" 2>/dev/null; done
  for group in "${groups[@]}"; do wait "$group" 2>/dev/null; done
  # Killed children of the launcher may take a moment to be gone.
  wait_until 5 "the account's programs stopped" eval '! pgrep -u "$user" >/dev/null'
  userdel "$user" 2>/dev/null || echo "could not remove the test account $user" >&2
  rm -rf "$base"
}
trap cleanup EXIT
useradd --home-dir "$home" --create-home --shell /bin/sh --no-user-group --gid nogroup "$user" || exit 77
quillet=$(account_program "$user" "$quillet" "$base/program") || exit 1
become=(setpriv --reuid="$user" --regid=nogroup --clear-groups)
"${become[@]}" mkdir -p "$home/Desktop" "$home/.run" "$home/.config"
chmod 700 "$home/.run"

# A session bus of the account's own (root's is closed to it), with the accessibility bus on it.
# It activates nothing: the reveal after a creation finds no file manager on it and, with no
# handler for folders (XDG_DATA_DIRS), opens none.
sed "s|@RUNTIME@|$home/.run|" >"$base/bus.conf" <<'CONF'
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=@RUNTIME@</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
chmod 644 "$base/bus.conf"
setsid "${become[@]}" dbus-daemon --config-file="$base/bus.conf" --nofork --nopidfile --print-address=3 \
  3>"$base/bus.address" >"$base/bus.log" 2>&1 &
groups+=($!)
wait_until 10 "the account's session bus" test -s "$base/bus.address" || { cat "$base/bus.log"; exit 1; }
mkdir -p "$base/no-data"
account=("${become[@]}" env -i PATH="$PATH" DISPLAY="$DISPLAY" HOME="$home" XDG_CONFIG_HOME="$home/.config"
  XDG_RUNTIME_DIR="$home/.run" XDG_DATA_DIRS="$base/no-data"
  DBUS_SESSION_BUS_ADDRESS="$(head -n 1 "$base/bus.address")" GSETTINGS_BACKEND=memory QUILLET_LOG=stderr QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1)
as_user() { "${account[@]}" "$@"; }
start_as_user() {  # LOG COMMAND...: in the background, in a process group of its own
  local log=$1
  shift
  setsid "${account[@]}" "$@" >"$log" 2>&1 &
  groups+=($!)
}
accessibility_start "$base/accessibility.log" "${account[@]}" || exit 1
groups+=("$ACCESSIBILITY_PID")
# The panel's tiles by name, as the accessibility bus lists them (root may use the account's).
accessible() {
  AT_SPI_BUS_ADDRESS=$ACCESSIBILITY_ADDRESS /usr/bin/python3 "$support/accessible.py" "Create File" "$@" \
    2>>"$base/accessible.log"
}
several_tiles() { [ "$(accessible names "push button" | wc -l)" -gt 1 ]; }
only_tile() { [ "$(accessible names "push button")" = "$1" ]; }

# Ctrl+Alt+M creates Markdown at once (key code 46, Control + Option).
hex=$(printf '%s' '{"md":{"keyCode":46,"carbonModifiers":6144}}' | od -An -tx1 | tr -d ' \n')
as_user "$quillet" defaults write fileTypeShortcuts -data "$hex" >/dev/null

start_as_user "$base/app.log" "$quillet"
check "registers the direct shortcut" 'wait_until 15 "the direct shortcut registered" grep -q "Registered Ctrl+Alt+M hot key" "$base/app.log"'

# The panel opens near the pointer: centred on it horizontally, its bottom edge 96 below it,
# but kept 12 inside the screen (1280 x 800 here).
xdotool mousemove 700 560
xdotool key ctrl+alt+n
panel=$(await_window 5 "the Quick Create panel" --onlyvisible --name "^Create File")
check "the hot key opens the panel" '[ -n "$panel" ]'
check "the search field has the focus" 'wait_until 3 "the panel active" window_active "$panel" && wait_until 10 "the search field focused" accessible focused text'
X=0 Y=0 WIDTH=0 HEIGHT=0
[ -n "$panel" ] && eval "$(xdotool getwindowgeometry --shell "$panel" 2>/dev/null)"
echo "panel at $X,$Y size ${WIDTH}x$HEIGHT"
check "the panel is centred on the pointer" '[ $((X + WIDTH / 2)) -ge 680 ] && [ $((X + WIDTH / 2)) -le 720 ]'
check "the panel ends 96 below the pointer" '[ $((Y + HEIGHT)) -ge 636 ] && [ $((Y + HEIGHT)) -le 676 ]'

# Typing narrows the tiles to Markdown; clicking that tile creates the file on the Desktop.
check "the panel shows its tiles" 'wait_until 10 "the tiles on the accessibility bus" several_tiles'
xdotool type --delay 30 "mark"
check "typing narrows the tiles to Markdown" 'wait_until 5 "only the Markdown tile shown" only_tile Markdown'
tile=$(accessible center "push button" Markdown)
check "the Markdown tile is on the screen" '[ -n "$tile" ]'
[ -n "$tile" ] && xdotool mousemove $tile click 1
check "clicking Markdown creates it on the Desktop" 'wait_until 5 "Untitled.md on the Desktop" test -f "$home/Desktop/Untitled.md"'
check "the file belongs to the account" '[ "$(stat -c %U "$home/Desktop/Untitled.md" 2>/dev/null)" = "$user" ]'
check "logs the creation" 'wait_until 2 "the creation logged" grep -q "Created $home/Desktop/Untitled.md" "$base/app.log"'

xdotool key Escape
check "Escape hides the panel" 'wait_until 3 "the panel hidden" no_window --onlyvisible --name "^Create File"'

# The direct shortcut needs no panel.
xdotool key ctrl+alt+m
check "the direct shortcut creates the next one" 'wait_until 5 "Untitled 2.md on the Desktop" test -f "$home/Desktop/Untitled 2.md"'
check "nothing else was created" '[ "$(ls "$home/Desktop" | wc -l)" -eq 2 ]'

if [ $fail -ne 0 ]; then
  cat "$base/app.log"
  [ -s "$base/accessible.log" ] && cat "$base/accessible.log"
fi
exit $fail
