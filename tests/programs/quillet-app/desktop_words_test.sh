#!/usr/bin/env bash
# Everything the command line prints — the help, each command's usage and refusals, the uninstall
# question — and the manual page, desktop entries and metadata name things as a Linux desktop does.
# Stored values given on the command line ("frontFinderFolder") are not words of another system.
set -u
quillet=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
source_dir=$(cd "$(dirname "$0")/../../.." && pwd)
fail=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data HOME=$work/home
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$HOME"
unset DISPLAY WAYLAND_DISPLAY
export QUILLET_LOG=stderr

# What each invocation printed, with the log lines (and their categories) left out.
out=$work/out
: >"$out"
run() { timeout 20 "$quillet" "$@" </dev/null 2>&1 | grep -Ev '^[A-Za-z]+ (default|error|info|debug|fault): ' >>"$out"; }
run --help
run --version
run frobnicate
for verb in types create destination defaults grants open quick-create check-for-updates uninstall shortcut; do
  run "$verb" --help
  run "$verb" --no-such-option
done
run create
run create nope
run create txt --destination somewhere
run destination Desktop
run defaults read nope
run grants frob
run open 'quillaxe://create?type=nope'
run uninstall

words='Finder|Dock|Menu Bar|menu bar|menu-bar|⌘|⌃|⌥|⇧|iCloud|Get Info'
if [ "$(wc -l <"$out")" -lt 20 ]; then echo "FAIL: the command line printed almost nothing"; fail=1; fi
if sed 's/frontFinderFolder//g' "$out" | grep -En "$words"; then
  echo "FAIL: the command line prints a word of another system (above)"; fail=1
fi
for file in resources/quillet.1 resources/org.quillet.Quillet.desktop resources/org.quillet.Quillet.autostart.desktop \
  resources/org.quillet.Quillet.metainfo.xml; do
  if sed 's/frontFinderFolder//g' "$source_dir/$file" | grep -En "$words"; then
    echo "FAIL: $file has a word of another system (above)"; fail=1
  fi
done
exit $fail
