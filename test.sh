#!/usr/bin/env bash
# Sets everything up and runs the whole test suite on Qt's offscreen platform.
#   ./test.sh              the normal build
#   ./test.sh --sanitize   the same suite under AddressSanitizer + UndefinedBehaviorSanitizer
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

build_dir="$root/build"
case "$*" in
    "") ;;
    --sanitize) build_dir="$root/build-sanitize" ;;
    *) echo "usage: ./test.sh [--sanitize]" >&2; exit 2 ;;
esac

"$root/scripts/setup.sh" "$@"

export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)"
