#!/usr/bin/env bash
# The command line's own contract: help, version, types and usage errors.
set -u
quillet=$1
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }

check "help mentions types" '"$quillet" --help | grep -q "types"'
check "version" '"$quillet" --version | grep -q "^Quillet+ "'
check "types lists sixteen" '[ "$("$quillet" types | wc -l)" -eq 16 ]'
check "types first line" '[ "$("$quillet" types | head -1)" = "$(printf "txt\tText\ttxt\tPlain Text")" ]'
"$quillet" frobnicate >/dev/null 2>&1; rc=$?
check "unknown command exits 2" '[ $rc -eq 2 ]'
exit $fail
