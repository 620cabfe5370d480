#!/usr/bin/env bash
# The full reliability run of the settings suite: ten writers, each killed with SIGKILL at a
# random moment of 10,000 single-key assignments; the suite must open after every kill and hold
# every assignment that had returned. Usage: bench/defaults_sigkill.sh [BUILD_DIR] [extra args]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$here/build}
shift $(( $# > 0 ? 1 : 0 )) || true
exec "$build_dir/bin/quillet_defaults_kill_check" --rounds 10 --count 10000 "$@"
