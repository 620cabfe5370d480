#!/usr/bin/env bash
# A setting the disk cannot hold, in the running application: the file types switch flipped in
# the main window goes back, one alert says which setting stayed as it was and why, and the
# settings file keeps the earlier state. The settings folder is a private 1 MB tmpfs that only
# the application sees (its own mount namespace), filled once the application has opened it.
# Runs inside tests/support/x11-session.sh --wm --accessibility.
set -u
quillet=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")  # absolute: nsenter starts elsewhere
[ "$(id -u)" = 0 ] || { echo "skipped: needs root to mount a small disk"; exit 77; }
for tool in xdotool unshare nsenter; do command -v $tool >/dev/null || { echo "$tool missing"; exit 77; }; done
support=$(cd "$(dirname "$0")/../../support" && pwd)
. "$support/x11-wait.sh"
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
work=$(mktemp -d)
pid=
stop() { [ -n "$pid" ] && kill -TERM "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; }
trap 'stop; rm -rf "$work"' EXIT
export QUILLET_LOG=stderr QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
suite=$XDG_CONFIG_HOME/group.org.quillet.Quillet

"$quillet" defaults write hasCompletedOnboarding -json true >/dev/null
"$quillet" defaults write appPresence -json '"dockOnly"' >/dev/null
cp -a "$suite" "$work/suite"
unshare -m sh -c 'mount -t tmpfs -o size=1m,mode=0700 tmpfs "$1" && cp -a "$2"/. "$1"/ && exec "$3"' \
  sh "$suite" "$work/suite" "$quillet" 2>"$work/app.log" &
pid=$!
inside() { nsenter -t "$pid" -m "$@"; }
accessible() { /usr/bin/python3 "$support/accessible.py" "Quillet+" "$@" 2>>"$work/accessible.log"; }
wait_until 20 "the main window's switches" accessible center "check box" Markdown >/dev/null || { cat "$work/app.log"; exit 1; }
check "Markdown is on" 'accessible checked "check box" Markdown'

# The disk fills; the switch is flipped.
inside sh -c 'cat /dev/zero >"$1/filler" 2>/dev/null' sh "$suite"
xdotool mousemove $(accessible center "check box" Markdown) click 1
said="Your change to the file types to offer was not saved. There is no room left on the disk."
alert_shown() { accessible names label | grep -qxF "$said"; }
check "an alert says which setting stayed and why" 'wait_until 10 "the alert" alert_shown'
check "its title says the setting stays" 'accessible names label | grep -qxF "The setting stays as it was"'
[ -n "${QUILLET_SCREENSHOT:-}" ] && command -v import >/dev/null && import -window root "$QUILLET_SCREENSHOT"
check "the switch went back" 'accessible checked "check box" Markdown'
check "the refusal is logged" 'grep -q "Could not save enabledFileTypeIDs; it keeps its earlier value" "$work/app.log"'
check "nothing was stored" '! inside "$quillet" defaults read enabledFileTypeIDs >/dev/null 2>&1'

# With room again, the alert answered, the same flip is stored and shown.
inside rm -f "$suite/filler"
xdotool key Return
check "the alert goes" 'wait_until 10 "the alert gone" eval "! alert_shown"'
xdotool mousemove $(accessible center "check box" Markdown) click 1
check "the switch is off" 'wait_until 5 "the switch off" eval "! accessible checked \"check box\" Markdown"'
check "and stored so" 'inside "$quillet" defaults read enabledFileTypeIDs | grep -q txt && ! inside "$quillet" defaults read enabledFileTypeIDs | grep -q "\"md\""'
exit $fail
