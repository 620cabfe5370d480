#!/usr/bin/env bash
# What resident Quillet+ costs against what Qt itself costs: the floor program (bench/TrayFloor.cpp,
# the least Qt Widgets program with a tray icon and a one-item menu) and Quillet+ as a user who
# finished the walkthrough has it (tray only, no window), side by side in one X session with a
# window manager and a tray host.
#   launch -> ready   from the fork to "tray icon shown" (floor) and to the log line "Quillet+
#                     started", written once the hot keys are registered and the tray icon is
#                     shown (Quillet+); alternating, medians of LAUNCHES each
#   idle memory       both running at once, 10 s after their launch: RSS, PSS and private memory
#                     from /proc/PID/smaps_rollup, medians of ROUNDS pairs
# Prints the ratios and exits 1 when a target is missed: RSS <= 1.15x, PSS <= 1.3x and launch
# <= 1.5x the floor's. With --breakdown it also lists, for the last pair, each program's memory
# by mapping (library, heap, ...), largest first.
# Usage: bench/run-idle-memory-bench.sh [--breakdown] [BUILD_DIR] [LAUNCHES] [ROUNDS]
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
breakdown=0
[ "${1:-}" = --breakdown ] && { breakdown=1; shift; }
build_dir=$(cd "${1:-$here/build}" && pwd) || exit 2
launches=${2:-15}
rounds=${3:-3}
if [ -z "${QUILLET_SESSION_DIR:-}" ]; then
  args=("$build_dir" "$launches" "$rounds")
  [ $breakdown = 1 ] && args=(--breakdown "${args[@]}")
  exec "$here/tests/support/x11-session.sh" --wm -- "$0" "${args[@]}"
fi
. "$here/tests/support/x11-wait.sh"
quillet=$build_dir/bin/quillet
floor=$build_dir/bin/quillet_tray_floor
for program in "$quillet" "$floor"; do
  [ -x "$program" ] || { echo "no $program: build the targets quillet and quillet_tray_floor" >&2; exit 2; }
done
command -v trayer >/dev/null || { echo "skipped: no tray host (trayer is not installed)"; exit 77; }
trayer --edge top --align right --widthtype request --height 24 --SetDockType false --transparent false \
  >/dev/null 2>&1 &
tray=$!
trap 'kill $tray 2>/dev/null' EXIT
await_window 10 "the tray host's window" --class trayer >/dev/null || exit 1

# A fresh account (the session's own home and XDG folders) that finished the walkthrough and keeps
# Quillet+ in the tray, as when it starts at login.
export QUILLET_LOG=stderr
"$quillet" defaults write appPresence -json '"menuBarOnly"' || exit 1
"$quillet" defaults write hasCompletedOnboarding -json true || exit 1

python3 - "$quillet" "$floor" "$launches" "$rounds" "$breakdown" <<'PY'
import collections, os, re, signal, statistics, subprocess, sys, time
quillet, floor, launches, rounds, breakdown = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), sys.argv[5] == "1"
programs = {"floor": ([floor], "tray icon shown"), "quillet": ([quillet], "Quillet+ started")}

def launch(name):
    argv, ready = programs[name]
    start = time.perf_counter()
    p = subprocess.Popen(argv, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL, text=True)
    for line in p.stdout:
        if ready in line:
            return p, start, (time.perf_counter() - start) * 1000
    sys.exit(f"{name} never got ready")

def stop(p):
    p.send_signal(signal.SIGTERM)
    p.wait(timeout=10)

def rollup(pid):
    fields = {}
    for line in open(f"/proc/{pid}/smaps_rollup"):
        parts = line.split()
        if len(parts) == 3 and parts[2] == "kB":
            fields[parts[0].rstrip(":")] = int(parts[1])
    return {"RSS": fields["Rss"], "PSS": fields["Pss"], "private": fields["Private_Clean"] + fields["Private_Dirty"]}

def by_mapping(pid):
    totals = collections.defaultdict(lambda: [0, 0, 0])
    name = None
    for line in open(f"/proc/{pid}/smaps"):
        if re.match(r"^[0-9a-f]+-[0-9a-f]+ ", line):
            parts = line.split(maxsplit=5)
            name = os.path.basename(parts[5].strip()) if len(parts) > 5 else "[anonymous]"
        else:
            key, _, rest = line.partition(":")
            index = {"Rss": 0, "Pss": 1, "Private_Clean": 2, "Private_Dirty": 2}.get(key)
            if index is not None:
                totals[name][index] += int(rest.split()[0])
    return totals

# Launch to ready, the two alternating, after one unmeasured launch of each.
for name in programs:
    stop(launch(name)[0])
times = {name: [] for name in programs}
for i in range(launches):
    for name in (("floor", "quillet") if i % 2 == 0 else ("quillet", "floor")):
        p, _, ms = launch(name)
        times[name].append(ms)
        stop(p)

# Idle memory: both running, read 10 s after the later launch.
memory = {name: [] for name in programs}
mappings = {}
for i in range(rounds):
    running = {}
    for name in (("floor", "quillet") if i % 2 == 0 else ("quillet", "floor")):
        p, start, _ = launch(name)
        # The rest of the output goes nowhere; a pipe nobody reads would fill and stall it.
        drain = subprocess.Popen(["cat"], stdin=p.stdout, stdout=subprocess.DEVNULL)
        running[name] = (p, start, drain)
    time.sleep(max(0.0, max(start for _, start, _ in running.values()) + 10 - time.perf_counter()))
    for name, (p, _, _) in running.items():
        memory[name].append(rollup(p.pid))
        if breakdown and i == rounds - 1:
            mappings[name] = by_mapping(p.pid)
    for p, _, drain in running.values():
        stop(p)
        drain.wait(timeout=10)

missed = []
def compare(figure, ours, theirs, target, unit):
    ratio = ours / theirs
    met = ratio <= target
    if not met:
        missed.append(figure)
    print(f"{figure:<22} Quillet+ {ours:7.1f} {unit}   floor {theirs:7.1f} {unit}   ratio {ratio:5.2f}"
          f"   (target <= {target:.2f}: {'met' if met else 'MISSED'})")

median = lambda name, key: statistics.median(sample[key] for sample in memory[name]) / 1024
print(f"{launches} launches of each, {rounds} idle pairs read 10 s after launch")
compare("launch -> ready", statistics.median(times["quillet"]), statistics.median(times["floor"]), 1.5, "ms")
compare("idle RSS", median("quillet", "RSS"), median("floor", "RSS"), 1.15, "MB")
compare("idle PSS", median("quillet", "PSS"), median("floor", "PSS"), 1.3, "MB")
ours, theirs = median("quillet", "private"), median("floor", "private")
print(f"{'idle private':<22} Quillet+ {ours:7.1f} MB   floor {theirs:7.1f} MB   ratio {ours / theirs:5.2f}")

for name, totals in mappings.items():
    print(f"\n{name}, by mapping (kB):      RSS      PSS  private")
    for mapping, (rss, pss, private) in sorted(totals.items(), key=lambda item: -item[1][1]):
        if rss >= 64:
            print(f"  {mapping[:34]:<34} {rss:6d}   {pss:6d}   {private:6d}")
sys.exit(1 if missed else 0)
PY
