#!/usr/bin/env bash
# Key press -> window mapped over many presses, in a private X session (Xvfb, session bus, a tray
# host where trayer is installed, openbox with --wm).
#
# Usage: hotkey-latency.sh [--wm] [--count 60] [--target-ms 5] [BUILD_DIR]
#   The bare-xcb hot key probe (the least a press can cost: the same hot key path mapping a small
#   window) and then Quillet+ (tray only, walkthrough done) showing its Quick Create panel, one
#   after the other in the same session: p50 and p90 of each, their ratio, and the first press
#   after launch. Exits 1 when Quillet+'s p90 misses the target. The target is for a session
#   without a window manager: with --wm, openbox manages every showing anew, which alone costs
#   the probe several milliseconds.
#
# Usage: hotkey-latency.sh [--wm] [--count N] [--keys ctrl+alt+n] [--dismiss KEYS]
#                          [--ready TEXT] --tool PATH --window NAME -- COMMAND [ARGS...]
#   One program alone: starts COMMAND, waits until it prints TEXT (when given), then times KEYS
#   typed through XTest until a window named NAME is mapped, closing it with --dismiss keys (or
#   waiting for the program to hide it).
set -u
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${QUILLET_SESSION_DIR:-}" ]; then
  wm=()
  for arg in "$@"; do [ "$arg" = "--" ] && break; [ "$arg" = "--wm" ] && wm=(--wm); done
  exec "$here/../tests/support/x11-session.sh" "${wm[@]}" -- "$0" "$@"
fi

tool= ; measure=() ; ready= ; count=60 ; target_ms=5
while [ $# -gt 0 ]; do
  case $1 in
    --wm) shift ;;
    --tool) tool=$2; shift 2 ;;
    --ready) ready=$2; shift 2 ;;
    --count) count=$2; shift 2 ;;
    --target-ms) target_ms=$2; shift 2 ;;
    --window|--keys|--dismiss|--warmup|--ready-timeout) measure+=("$1" "$2"); shift 2 ;;
    --) shift; break ;;
    -*) echo "hotkey-latency: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done

command_pid=
stop_command() {
  [ -n "$command_pid" ] || return 0
  kill "$command_pid" 2>/dev/null; wait "$command_pid" 2>/dev/null; command_pid=
}
trap stop_command EXIT

# measure LOG READY-TEXT TOOL-ARGS... -- COMMAND...: one program, the tool's line on stdout.
measure() {
  local log=$1 ready_text=$2; shift 2
  local args=()
  while [ "$1" != "--" ]; do args+=("$1"); shift; done
  shift
  "$@" >"$log" 2>&1 &
  command_pid=$!
  if [ -n "$ready_text" ]; then
    # The first press after launch is timed once the program says it is ready, as a user's
    # first press comes some time after the login that started it.
    for _ in $(seq 1 300); do grep -q -- "$ready_text" "$log" && break; sleep 0.1; done
    grep -q -- "$ready_text" "$log" || {
      echo "hotkey-latency: $* never got ready" >&2; cat "$log" >&2; stop_command; return 1; }
    sleep 1
  fi
  "$tool" --count "$count" "${args[@]}"
  local status=$?
  [ $status -eq 0 ] || { echo "--- $* output:" >&2; cat "$log" >&2; }
  stop_command
  return $status
}

if [ -n "$tool" ]; then
  [ $# -gt 0 ] || { sed -n '2,17p' "$0" >&2; exit 2; }
  measure "$QUILLET_SESSION_DIR/command.log" "$ready" "${measure[@]}" -- "$@"
  exit
fi

build_dir=${1:-$here/../build}
tool=$build_dir/bin/quillet_hotkey_latency
quillet=$build_dir/bin/quillet
for program in "$tool" "$build_dir/bin/quillet_hotkey_probe" "$quillet"; do
  [ -x "$program" ] || { echo "hotkey-latency: $program is not built" >&2; exit 2; }
done
command -v trayer >/dev/null && { trayer --edge top --align right --widthtype request --height 24 \
  --SetDockType false --transparent false >/dev/null 2>&1 & }
# Resident in the tray, as after the walkthrough: no window opens at launch.
"$quillet" defaults write appPresence -json '"menuBarOnly"' >/dev/null
"$quillet" defaults write hasCompletedOnboarding -json true >/dev/null

probe=$(measure "$QUILLET_SESSION_DIR/probe.log" ready --window "Quillet+ hot key probe" \
  -- "$build_dir/bin/quillet_hotkey_probe") || exit 1
ours=$(QUILLET_LOG=stderr measure "$QUILLET_SESSION_DIR/quillet.log" "Quillet+ started" \
  --window "Create File" --dismiss escape -- "$quillet") || exit 1
echo "probe:    $probe"
echo "Quillet+: $ours"
python3 - "$probe" "$ours" "$target_ms" <<'PY'
import re, sys
def figures(line):
    return {k: float(re.search(k + r" ([0-9.]+) ms", line).group(1)) for k in ("p50", "p90", "first press after launch")}
probe, ours, target = figures(sys.argv[1]), figures(sys.argv[2]), float(sys.argv[3])
print(f"Quillet+ against the probe: p50 {ours['p50'] / probe['p50']:.1f}x, p90 {ours['p90'] / probe['p90']:.1f}x")
# The first press builds the panel (the fonts and the window), which a tray-only instance does
# not hold while it waits: reported, not held to the target.
print(f"first press after launch: probe {probe['first press after launch']:.2f} ms, "
      f"Quillet+ {ours['first press after launch']:.2f} ms (builds the panel)")
if ours["p90"] > target:
    sys.exit(f"target missed: Quillet+ p90 {ours['p90']:.2f} ms, more than {target:g} ms")
print(f"target met: Quillet+ p90 {ours['p90']:.2f} ms, at most {target:g} ms")
PY
