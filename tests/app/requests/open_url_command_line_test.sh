#!/usr/bin/env bash
# "quillet URL" and "quillet open URL" without a display, and "quillet create" through the saved
# folder grants: what is printed, what is created, the exit status.
set -u
quillet=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/home" "$scratch/config"
unset DISPLAY WAYLAND_DISPLAY APP_SANDBOX_CONTAINER_ID
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config QUILLET_LOG=stderr
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
lines() { printf '%s\n' "$@"; }
# Runs quillet, keeping stdout, stderr and the status apart.
run() { "$quillet" "$@" >"$scratch/out" 2>"$scratch/err"; rc=$?; out=$(cat "$scratch/out"); err=$(cat "$scratch/err"); }

work=$scratch/work
mkdir -p "$work/My Notes" "$work/a/b" "$work/q"

# A request creates the file, prints its path and logs both steps.
run "quillaxe://create?type=md&directory=$work/My%20Notes"
check "URL creates the file" '[ $rc -eq 0 ] && [ -f "$work/My Notes/Untitled.md" ]'
check "URL prints the path" '[ "$out" = "$work/My Notes/Untitled.md" ]'
check "URL logs the request" '[ "$err" = "$(lines "CreateFileRequest default: Creating file from Finder request: type=md dir=$work/My Notes" \
  "CreateFileRequest default: Created file from Finder request: $work/My Notes/Untitled.md")" ]'
run open "quillaxe://create?type=md&directory=$work/My%20Notes"
check "open URL creates the next name" '[ $rc -eq 0 ] && [ "$out" = "$work/My Notes/Untitled 2.md" ]'
run "quillaxe://create?directory=$work/a/b/..&type=json"
check "dot segments resolved, items in any order" '[ $rc -eq 0 ] && [ "$out" = "$work/a/Untitled.json" ] && [ "$(cat "$work/a/Untitled.json")" = "{}" ]'

# Failures: the alert on stderr after the log lines, status 1, nothing created.
run "quillaxe://create?type=zzz&directory=$work/q"
check "unknown type" '[ $rc -eq 1 ] && [ -z "$out" ] && [ "$err" = "$(lines "CreateFileRequest error: Unknown file type requested: zzz" \
  "Could not create file" "Quillet+ does not know how to create this file type.")" ]'
run "quillaxe://create?type=txt&directory=$work/missing"
check "missing folder" '[ $rc -eq 1 ] && [ "$(printf "%s\n" "$err" | tail -2)" = "$(printf "Could not create file\nThe file \xe2\x80\x9cUntitled.txt\xe2\x80\x9d couldn\xe2\x80\x99t be saved because the folder \xe2\x80\x9cmissing\xe2\x80\x9d doesn\xe2\x80\x99t exist.")" ]'
cd "$work"
run "quillaxe://create?type=txt&directory=q"
check "relative folder refused" '[ $rc -eq 1 ] && [ "$err" = "$(lines "CreateFileRequest error: Create request failed: The folder path must be an absolute path." \
  "Could not create file" "The folder path must be an absolute path.")" ]'
run "quillaxe://create?type=txt&directory=$work/q%00/x"
check "NUL refused" '[ $rc -eq 1 ] && [ "$(printf "%s\n" "$err" | tail -1)" = "The folder path contains a NUL character." ]'
check "refused requests create nothing" '[ -z "$(ls -A "$work/q")" ] && [ ! -e "$work/q/x" ]'

# Ignored, or only bringing the application forward: status 0 and silence.
for url in "file://$work/q/" "QUILLAXE://create?type=txt&directory=$work/q" "mailto:someone@example.com" \
           "quillaxe://open?type=txt&directory=$work/q" "quillaxe://create?type=&directory=$work/q" \
           "quillaxe://create?type=txt"; do
  run "$url"
  check "silent for $url" '[ $rc -eq 0 ] && [ -z "$out" ] && [ -z "$err" ]'
done
check "nor do they create anything" '[ -z "$(ls -A "$work/q")" ]'
run open
check "open without a URL is a usage error" '[ $rc -eq 2 ]'
run "quillaxe://create?type=txt&directory=$work/q" extra
check "a URL takes no further arguments" '[ $rc -eq 2 ] && [ -z "$(ls -A "$work/q")" ]'

# Sandboxed without a grant there is no one to ask: access is missing, nothing is written.
APP_SANDBOX_CONTAINER_ID=x run create txt "$work/q"
check "sandboxed create needs access" '[ $rc -eq 1 ] && [ -z "$out" ] && [ "$err" = "$(lines "Could not create file" "Quillet+ needs access to q before it can create files there.")" ]'
APP_SANDBOX_CONTAINER_ID=x run "quillaxe://create?type=txt&directory=$work/q"
check "sandboxed URL needs access" '[ $rc -eq 1 ] && [ "$(printf "%s\n" "$err" | tail -2)" = "$(lines "Could not create file" "Quillet+ needs access to q before it can create files there.")" ]'
check "and creates nothing" '[ -z "$(ls -A "$work/q")" ]'
"$quillet" grants add "$work" >/dev/null
APP_SANDBOX_CONTAINER_ID=x run create txt "$work/q"
check "a grant of a parent folder lets it through" '[ $rc -eq 0 ] && [ "$out" = "$work/q/Untitled.txt" ] && [ -f "$work/q/Untitled.txt" ]'
APP_SANDBOX_CONTAINER_ID=x run "quillaxe://create?type=txt&directory=$work/q"
check "for URLs too" '[ $rc -eq 0 ] && [ "$out" = "$work/q/Untitled 2.txt" ]'
exit $fail
