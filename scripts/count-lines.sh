#!/usr/bin/env bash
# Non-blank, non-comment lines: the C++ under src/, the tests (everything under tests/ and fuzz/
# but the fuzz corpus), and their ratio.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
count() {
    awk '{ cpp = FILENAME ~ /\.(cpp|h)$/ }
         /^[ \t]*$/ { next }
         cpp && /^[ \t]*(\/\/|\/\*|\*)/ { next }
         !cpp && /^[ \t]*#/ && !/^#!/ { next }
         { n++ } END { print n + 0 }' "$@"
}
files() { git ls-files -co --exclude-standard "$@" | while read -r f; do [ -f "$f" ] && echo "$f"; done; }
src=$(count $(files 'src/*.cpp' 'src/*.h'))
tests=$(count $(files tests fuzz | grep -v '^fuzz/corpus/'))
awk -v s="$src" -v t="$tests" 'BEGIN { printf "src %d, tests %d, ratio %.2f\n", s, t, t / s }'
