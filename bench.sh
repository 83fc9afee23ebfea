#!/usr/bin/env bash
# Sets everything up and runs the benchmarks: every figure with the floor it is compared
# with, measured in one run (about a minute). Exits non-zero when a goal is missed.
#   ./bench.sh            the full run
#   ./bench.sh --quick    fewer samples and a shorter stream, for a quick look
#   ./bench.sh --stalls   only the window's longest pauses (a few seconds)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

"$root/scripts/setup.sh" >&2
exec "$root/build/bench/bench_panel" "$@"
