#!/usr/bin/env bash
# PROCESSES programs each running "quillet create TYPE DIR" COUNT times, all at once in one
# folder: every run must succeed, every file must have its own name, and every file must be a
# complete copy of the template. Reports the wall time.
# Usage: bench/run-concurrent-create.sh [QUILLET_BINARY] [PROCESSES] [COUNT] [TYPE]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
quillet=${1:-$here/build/bin/quillet}
processes=${2:-8}
count=${3:-500}
type=${4:-docx}
template=$(dirname "$quillet")/../share/quillet/blank.$type
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/config" "$scratch/out" "$scratch/work"
export XDG_CONFIG_HOME=$scratch/config
unset DISPLAY WAYLAND_DISPLAY APP_SANDBOX_CONTAINER_ID
"$quillet" types >/dev/null  # the settings suite exists before the runs start
start=$(date +%s.%N)
for p in $(seq "$processes"); do
  (for _ in $(seq "$count"); do
     "$quillet" create "$type" "$scratch/work" || echo "FAILED" >&2
   done >"$scratch/out/$p" 2>"$scratch/out/$p.err") &
done
wait
elapsed=$(echo "$(date +%s.%N) - $start" | bc)
fail=0
total=$((processes * count))
failures=$(cat "$scratch"/out/*.err | grep -c . || true)
reported=$(cat "$scratch"/out/[0-9]* | sort | uniq | wc -l)
present=$(find "$scratch/work" -type f | wc -l)
[ "$failures" -eq 0 ] || { echo "FAIL: $failures runs reported a failure"; cat "$scratch"/out/*.err | sort | uniq -c | head; fail=1; }
[ "$reported" -eq "$total" ] || { echo "FAIL: $reported distinct files reported, $total expected"; fail=1; }
[ "$present" -eq "$total" ] || { echo "FAIL: $present files in the folder, $total expected"; fail=1; }
if [ -f "$template" ]; then
  incomplete=$(find "$scratch/work" -type f -exec cmp -s "$template" {} \; -o -type f -print | wc -l)
else
  incomplete=$(find "$scratch/work" -type f -size +0 | wc -l)
fi
[ "$incomplete" -eq 0 ] || { echo "FAIL: $incomplete files differ from the template"; fail=1; }
echo "$processes processes x $count creations of $type: $present files, $failures failures, $incomplete incomplete, ${elapsed}s"
exit $fail
