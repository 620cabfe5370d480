#!/usr/bin/env bash
# Creation figures: median time of createFile (txt, docx) and of plain open/write/close of the
# same bytes, interleaved in the same run, their ratio, and one name search past 1000 taken
# names, with the cost of one system call on the machine for scale.
# Usage: bench/run-creation-bench.sh [BUILD_DIR] [REPETITIONS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$here/build}
repetitions=${2:-15}
cmake --build "$build_dir" --target quillet_creation_bench >/dev/null
out=$(mktemp)
trap 'rm -f "$out"' EXIT
# Repetitions are interleaved so that a slow moment of the machine hits both sides alike.
"$build_dir/bin/quillet_creation_bench" --benchmark_repetitions="$repetitions" \
  --benchmark_enable_random_interleaving=true --benchmark_min_time=0.2 \
  --benchmark_format=json --benchmark_out="$out" --benchmark_out_format=json >/dev/null
python3 - "$out" <<'PY'
import json, statistics, sys
runs = {}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("run_type") == "iteration":
        runs.setdefault(b["run_name"], []).append(b)
def median(name, key):
    return statistics.median(r[key] for r in runs[name])
unit = {"ns": 1e-3, "us": 1, "ms": 1e3}
for kind in ("txt", "docx"):
    name = f"BM_CreateFileVersusPlainWrite/{kind}/manual_time"
    print(f"createFile {kind:4}: median {median(name, 'createFile_us'):7.2f} us   "
          f"plain open/write/close {median(name, 'plain_us'):7.2f} us   "
          f"median ratio {median(name, 'ratio'):.2f}   ({len(runs[name])} repetitions)")
search = runs["BM_UniqueFileURLPast1000Names"]
print("uniqueFileURL past Untitled.txt .. Untitled 1000.txt: median "
      f"{statistics.median(r['real_time'] * unit[r['time_unit']] for r in search):.0f} us per call")
calls = runs["BM_NullSystemCall"]
print("one system call (getppid): median "
      f"{statistics.median(r['real_time'] * unit[r['time_unit']] for r in calls) * 1000:.0f} ns")
PY
