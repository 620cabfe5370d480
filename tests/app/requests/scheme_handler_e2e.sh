#!/usr/bin/env bash
# The built program as the desktop's handler of quillaxe: links. A private data and
# configuration home registers it; "gio open" hands it a request as a file manager extension
# would, and the file appears. No display, so nothing is shown.
set -u
quillet=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
command -v gio >/dev/null || { echo "skipped: gio is not installed"; exit 77; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
unset DISPLAY WAYLAND_DISPLAY APP_SANDBOX_CONTAINER_ID DBUS_SESSION_BUS_ADDRESS
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data
export XDG_DATA_DIRS=$scratch/system-data QUILLET_LOG=stderr
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/applications" "$XDG_DATA_DIRS"
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
# gio returns once the handler is started, not when it is done.
wait_for() { for _ in $(seq 100); do [ -e "$1" ] && return 0; sleep 0.1; done; return 1; }

cat >"$XDG_DATA_HOME/applications/quillet-e2e.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=Quillet+
Exec="$quillet" %u
MimeType=x-scheme-handler/quillaxe;
NoDisplay=true
Terminal=false
ENTRY
printf '[Default Applications]\nx-scheme-handler/quillaxe=quillet-e2e.desktop\n' >"$XDG_CONFIG_HOME/mimeapps.list"
update-desktop-database "$XDG_DATA_HOME/applications" 2>/dev/null
check "registered as the handler" '[ "$(gio mime x-scheme-handler/quillaxe | head -1)" = "Default application for “x-scheme-handler/quillaxe”: quillet-e2e.desktop" ]'

target="$scratch/work/My Notes"
mkdir -p "$target"
gio open "quillaxe://create?type=md&directory=$scratch/work/My%20Notes" >"$scratch/gio-out" 2>"$scratch/gio-err"
check "gio hands the link over" '[ $? -eq 0 ]'
check "the file appears" 'wait_for "$target/Untitled.md"'
check "as an empty file" '[ -f "$target/Untitled.md" ] && [ ! -s "$target/Untitled.md" ]'

# A folder name that needs escaping on its way through gio.
odd="$scratch/work/a&b=c #1 + 100% ü"
mkdir -p "$odd"
gio open "quillaxe://create?type=json&directory=$scratch/work/a%26b%3Dc%20%231%20+%20100%25%20%C3%BC" >>"$scratch/gio-out" 2>>"$scratch/gio-err"
check "special characters survive" 'wait_for "$odd/Untitled.json"'
check "with its template" '[ "$(cat "$odd/Untitled.json" 2>/dev/null)" = "{}" ]'

# A refused request writes nothing, even with the handler in the loop.
# The handler inherits gio's standard error, where the alert goes without a display.
gio open "quillaxe://create?type=txt&directory=relative/path" >>"$scratch/gio-out" 2>>"$scratch/gio-err"
refused() { for _ in $(seq 100); do grep -qx "The folder path must be an absolute path." "$scratch/gio-err" && return 0; sleep 0.1; done; return 1; }
check "a relative folder is refused with the alert" refused
check "and nothing is created" '[ ! -e "$HOME/relative" ] && [ ! -e "$(pwd)/relative" ]'
[ $fail -eq 0 ] || cat "$scratch/gio-err"
exit $fail
