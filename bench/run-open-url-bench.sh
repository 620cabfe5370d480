#!/usr/bin/env bash
# Whole-process cost of a create request handed to the program, as the desktop does
# ("quillet URL", no display), against cp of an empty file as a process, alternating the two in
# the same run. Reports both medians and the median of the per-pair ratios, and, for scale, the
# median of "quillet --version" (starting the program and loading its libraries, nothing else).
# Usage: bench/run-open-url-bench.sh [QUILLET_BINARY] [REPETITIONS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
quillet=${1:-$here/build/bin/quillet}
repetitions=${2:-200}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/config" "$scratch/home" "$scratch/work"
env -u DISPLAY -u WAYLAND_DISPLAY -u APP_SANDBOX_CONTAINER_ID \
  HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" QUILLET_LOG=stderr \
  python3 - "$quillet" "$repetitions" "$scratch/work" <<'PY'
import os, statistics, sys, time
quillet, repetitions, work = sys.argv[1], int(sys.argv[2]), sys.argv[3]
empty = os.path.join(work, "empty")
open(empty, "w").close()
devnull = os.open(os.devnull, os.O_WRONLY)
url = "quillaxe://create?type=txt&directory=" + work
created = os.path.join(work, "Untitled.txt")
copy = os.path.join(work, "copy.txt")

def timed(argv):
    # posix_spawn and waitpid only: the measuring side costs both commands the same.
    actions = [(os.POSIX_SPAWN_DUP2, devnull, 1), (os.POSIX_SPAWN_DUP2, devnull, 2)]
    start = time.perf_counter()
    pid = os.posix_spawn(argv[0], argv, os.environ, file_actions=actions)
    _, status = os.waitpid(pid, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{argv} failed")
    return elapsed

cp = "/bin/cp"
# Warm up the caches and the settings suite (created on the first run).
for _ in range(5):
    timed([quillet, url]); os.remove(created)
    timed([cp, empty, copy]); os.remove(copy)
ours, theirs, startup, ratios = [], [], [], []
for i in range(repetitions):
    # Rotating the order, so none always runs right after another.
    order = [("q", [quillet, url]), ("c", [cp, empty, copy]), ("v", [quillet, "--version"])]
    order = order[i % 3:] + order[:i % 3]
    run = {}
    for name, argv in order:
        run[name] = timed(argv)
    os.remove(created); os.remove(copy)
    ours.append(run["q"]); theirs.append(run["c"]); startup.append(run["v"]); ratios.append(run["q"] / run["c"])
print(f"quillet URL (no display): median {statistics.median(ours) * 1e3:7.2f} ms")
print(f"cp of an empty file:      median {statistics.median(theirs) * 1e3:7.2f} ms")
print(f"median ratio {statistics.median(ratios):.1f}   ({repetitions} alternating runs)")
print(f"quillet --version:        median {statistics.median(startup) * 1e3:7.2f} ms   (start-up and library loading alone)")
PY
