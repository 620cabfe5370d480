#!/usr/bin/env bash
# Key press -> window mapped, median over many presses, in a private X session (Xvfb, session bus,
# openbox with --wm). Starts COMMAND, then times KEYS typed through XTest until a window named
# NAME is mapped, closing it with --dismiss keys (or waiting for the program to hide it).
#
# Usage: hotkey-latency.sh [--wm] [--count N] [--keys ctrl+alt+n] [--dismiss KEYS]
#                          --tool PATH --window NAME -- COMMAND [ARGS...]
# Examples:
#   hotkey-latency.sh --tool build/bin/quillet_hotkey_latency --window "Quillet+ hot key probe" \
#     -- build/bin/quillet_hotkey_probe
#   hotkey-latency.sh --wm --tool build/bin/quillet_hotkey_latency --window "Quick Create" \
#     --dismiss escape -- build/bin/quillet
set -u
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${QUILLET_SESSION_DIR:-}" ]; then
  wm=()
  for arg in "$@"; do [ "$arg" = "--" ] && break; [ "$arg" = "--wm" ] && wm=(--wm); done
  exec "$here/../tests/support/x11-session.sh" "${wm[@]}" -- "$0" "$@"
fi

tool= ; measure=()
while [ $# -gt 0 ]; do
  case $1 in
    --wm) shift ;;
    --tool) tool=$2; shift 2 ;;
    --window|--keys|--dismiss|--count|--warmup|--ready-timeout) measure+=("$1" "$2"); shift 2 ;;
    --) shift; break ;;
    *) echo "hotkey-latency: unknown option $1" >&2; exit 2 ;;
  esac
done
[ -n "$tool" ] && [ $# -gt 0 ] || { sed -n '2,13p' "$0" >&2; exit 2; }

"$@" >"$QUILLET_SESSION_DIR/command.log" 2>&1 &
command_pid=$!
trap 'kill "$command_pid" 2>/dev/null; wait "$command_pid" 2>/dev/null' EXIT
"$tool" "${measure[@]}"
status=$?
[ $status -eq 0 ] || { echo "--- $* output:" >&2; cat "$QUILLET_SESSION_DIR/command.log" >&2; }
exit $status
