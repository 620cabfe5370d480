#!/usr/bin/env bash
# Launch -> Quick Create hot key registered: starts "quillet" (no arguments) N times in a private
# X session and times, from the fork to the log line "Registered Ctrl+Alt+N hot key", the median.
# Usage: bench/launch-to-hotkeys.sh [BUILD_DIR] [COUNT]
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$here/build}
count=${2:-20}
if [ -z "${QUILLET_SESSION_DIR:-}" ]; then
  exec "$here/tests/support/x11-session.sh" --wm -- "$0" "$build_dir" "$count"
fi
QUILLET_LOG=stderr python3 - "$build_dir/bin/quillet" "$count" <<'PY'
import os, signal, statistics, subprocess, sys, time
quillet, count = sys.argv[1], int(sys.argv[2])
times = []
for _ in range(count):
    start = time.perf_counter()
    p = subprocess.Popen([quillet], stderr=subprocess.PIPE, stdout=subprocess.DEVNULL, text=True)
    for line in p.stderr:
        if "Registered Ctrl+Alt+N hot key" in line:
            times.append((time.perf_counter() - start) * 1000)
            break
    p.send_signal(signal.SIGTERM)
    p.wait(timeout=10)
if not times:
    sys.exit("the hot key was never registered")
print(f"launch -> Quick Create hot key registered: median {statistics.median(times):.1f} ms "
      f"(min {min(times):.1f}, max {max(times):.1f}, {len(times)} launches)")
PY
