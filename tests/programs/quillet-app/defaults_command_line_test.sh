#!/usr/bin/env bash
# quillet defaults: typed values in and out as JSON, malformed input refused with nothing written.
set -u
quillet=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME=$scratch/config QUILLET_LOG=stderr
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
status() { "$quillet" "$@" >/dev/null 2>&1; echo $?; }
# The value printed for a key, on one line.
value() { "$quillet" defaults read "$@" | python3 -c 'import json,sys; print(json.dumps(json.load(sys.stdin), separators=(",", ":"), ensure_ascii=False))'; }

check "array of mixed kinds" '[ "$(status defaults write enabledFileTypeIDs -json "[\"txt\", 5]")" = 0 ]'
check "mixed array reads back as written" '[ "$(value enabledFileTypeIDs)" = "[\"txt\",5]" ]'
"$quillet" defaults write real -json 5.0
"$quillet" defaults write integer -json 5
"$quillet" defaults write negative -json -5
"$quillet" defaults write zero -json -0.0
"$quillet" defaults write tiny -json 5e-324
"$quillet" defaults write big -json 9223372036854775807
"$quillet" defaults write bool -json true
check "a whole number with a point stays real" '[ "$("$quillet" defaults read real)" = "5.0" ]'
check "a whole number is an integer" '[ "$("$quillet" defaults read integer)" = "5" ]'
check "a value that looks like an option" '[ "$("$quillet" defaults read negative)" = "-5" ]'
check "negative zero keeps its sign" '[ "$("$quillet" defaults read zero)" = "-0.0" ]'
check "the smallest real is exact" '[ "$("$quillet" defaults read tiny)" = "5e-324" ]'
check "64-bit integers" '[ "$("$quillet" defaults read big)" = "9223372036854775807" ]'
check "booleans" '[ "$("$quillet" defaults read bool)" = "true" ]'

"$quillet" defaults write data -data 00FFab
"$quillet" defaults write empty -data ""
check "data is shown as lower-case hex" '[ "$(value data)" = "{\"\$data\":\"00ffab\"}" ]'
check "empty data" '[ "$(value empty)" = "{\"\$data\":\"\"}" ]'

"$quillet" defaults write nested -json '{"b": [1, {"c": false}], "a": "he said \"hi\" \u2713"}'
check "dictionaries nest, keys sorted" '[ "$(value nested)" = "{\"a\":\"he said \\\"hi\\\" ✓\",\"b\":[1,{\"c\":false}]}" ]'
check "reading everything gives one object with sorted keys" \
  '[ "$("$quillet" defaults read | python3 -c "import json,sys; print(\",\".join(json.load(sys.stdin)))")" = "big,bool,data,empty,enabledFileTypeIDs,integer,negative,nested,real,tiny,zero" ]'
check "keys are not reordered in the raw output" \
  '[ "$("$quillet" defaults read | grep -o "^  \"[a-zA-Z]*\"" | tr -d " \"" | paste -sd,)" = "big,bool,data,empty,enabledFileTypeIDs,integer,negative,nested,real,tiny,zero" ]'

out=$("$quillet" defaults read missing 2>"$scratch/err"); rc=$?
check "a missing key fails" '[ $rc -eq 1 ]'
check "a missing key prints nothing on stdout" '[ -z "$out" ]'
check "a missing key says so on stderr" 'grep -q "no value for missing" "$scratch/err"'

for args in 'write bad -json "[1,"' 'write bad -json null' 'write bad -json "[1, null]"' 'write bad -json "{\"a\": null}"' \
            'write bad -data abc' 'write bad -data zz' 'write bad -json' 'write bad' 'write -json 1' \
            'write bad -json 18446744073709551616' 'write bad -json 1 -data 00' 'write bad extra -json 1' \
            'delete' 'delete a b' 'read a b' 'frobnicate' '' 'read --suite a/b k' \
            'write --suite x --standard bad -json 1' 'read --suite'; do
  eval "set -- $args"
  check "malformed: defaults $args exits 2" '[ "$(status defaults "$@")" = 2 ]'
done
check "nothing was written by malformed input" '[ "$(status defaults read bad)" = 1 ]'
"$quillet" defaults write --suite fresh k -json '[1,' 2>/dev/null
check "malformed input does not even create a suite" '[ ! -e "$XDG_CONFIG_HOME/fresh" ]'
check "malformed messages are clear" '"$quillet" defaults write bad -data abc 2>&1 | grep -q "hexadecimal"'

"$quillet" defaults write --standard place -json '"standard"'
"$quillet" defaults write --suite=custom.suite place -json '"custom"'
check "suites are separate" '[ "$(status defaults read place)" = 1 ]'
check "the standard domain" '[ "$("$quillet" defaults read --standard place)" = "\"standard\"" ]'
check "a named suite" '[ "$("$quillet" defaults read --suite custom.suite place)" = "\"custom\"" ]'
check "a named suite lives in its own folder" '[ "$(stat -c %a "$XDG_CONFIG_HOME/custom.suite/Defaults.sqlite")" = 600 ]'
check "the shared suite is the default" '[ -e "$XDG_CONFIG_HOME/group.org.quillet.Quillet/Defaults.sqlite" ]'

check "delete" '[ "$(status defaults delete data)" = 0 ] && [ "$(status defaults read data)" = 1 ]'
check "deleting a missing key is fine" '[ "$(status defaults delete data)" = 0 ]'
check "other keys stay" '[ "$("$quillet" defaults read integer)" = "5" ]'

# With neither suite openable, changes would only live in memory: that is a failure, not success.
export XDG_CONFIG_HOME=$scratch/blocked
mkdir -p "$XDG_CONFIG_HOME"
: > "$XDG_CONFIG_HOME/group.org.quillet.Quillet"
: > "$XDG_CONFIG_HOME/org.quillet.Quillet"
check "no suite to write to exits 1" '[ "$(status defaults write k -json 1)" = 1 ]'
exit $fail
