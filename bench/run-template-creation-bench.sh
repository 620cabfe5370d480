#!/usr/bin/env bash
# Creating from a large template (100 MB by default): "quillet create template:Big.bin DIR" as a
# whole process, median of RUNS, its peak memory, against "quillet create txt DIR" (the same
# process with nothing to copy) and cp of the same file. The difference between the two quillet
# runs is what one creation from the template costs the process that makes it. A running
# Quillet+ makes that copy off its main thread: with PAUSE_TOOL (quillet_template_copy_pause)
# given, the longest pause of its event loop meanwhile is measured too. The file manager never
# waits for it: its module hands the request on and returns.
# (Wall times include /usr/bin/time, which reads the peak memory, the same for every line.)
# Usage: bench/run-template-creation-bench.sh QUILLET [MEGABYTES] [RUNS] [PAUSE_TOOL]
set -euo pipefail
quillet=$1
megabytes=${2:-100}
runs=${3:-7}
pause_tool=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/Templates" "$work/out"
export XDG_CONFIG_HOME=$work/config
unset APP_SANDBOX_CONTAINER_ID
printf 'XDG_TEMPLATES_DIR="%s/Templates"\n' "$work" >"$XDG_CONFIG_HOME/user-dirs.dirs"
head -c "${megabytes}M" /dev/urandom >"$work/Templates/Big.bin"
# Warm: the template is read from memory, as right after the user saved it.
cat "$work/Templates/Big.bin" >/dev/null

# Cold: the template's pages are dropped from memory (this file's alone), so it is read from the
# disk, as the first time after a reboot.
evict() {
  sync "$work/Templates/Big.bin"
  python3 -c 'import os, sys; fd = os.open(sys.argv[1], os.O_RDONLY); os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)' \
    "$work/Templates/Big.bin"
}
cold=

measure() {  # label, command...: median seconds and peak kilobytes of RUNS runs
  local label=$1; shift
  local times=() peaks=()
  for _ in $(seq 1 "$runs"); do
    rm -f "$work/out/"*
    [ -z "$cold" ] || evict
    local start end
    start=$(date +%s%N)
    /usr/bin/time -f "%M" -o "$work/time" "$@" >/dev/null
    end=$(date +%s%N)
    times+=("$(( (end - start) / 1000 ))") peaks+=("$(cat "$work/time")")
  done
  python3 - "$label" "${times[*]}" "${peaks[*]}" <<'PY'
import statistics, sys
label, times, peaks = sys.argv[1], [int(t) for t in sys.argv[2].split()], [int(k) for k in sys.argv[3].split()]
print(f"{label:<36} median {statistics.median(times) / 1000:8.1f} ms   peak memory {max(peaks) / 1024:6.1f} MB")
PY
}
echo "template of $megabytes MB, $runs runs each"
measure "quillet create template:Big.bin DIR" "$quillet" create template:Big.bin "$work/out"
cmp -s "$work/Templates/Big.bin" "$work/out/Big.bin" || { echo "FAIL: the copy differs from the template"; exit 1; }
measure "quillet create txt DIR" "$quillet" create txt "$work/out"
measure "cp" cp "$work/Templates/Big.bin" "$work/out/Big.bin"
cold=1
measure "the same, template read from disk" "$quillet" create template:Big.bin "$work/out"
measure "cp, read from disk" cp "$work/Templates/Big.bin" "$work/out/Big.bin"
if [ -n "$pause_tool" ]; then
  echo "the application's event loop meanwhile:"
  "$pause_tool" "$megabytes" "$runs"
fi
