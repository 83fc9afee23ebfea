#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time on a working copy of its
# seed corpus (fuzz/corpus/<target> itself is never written).
#
#   fuzz/run.sh                  every target 60 s, build in build-fuzz/
#   fuzz/run.sh --seconds 600    a long run
#   fuzz/run.sh --build DIR      another build tree (the fuzz_smoke test passes its own)
#
# Fails when a target stops on a crash, a sanitizer report or a broken invariant; the input
# is kept in DIR/artifacts/<target>/, the target's output in DIR/logs/. CXX_FUZZ names
# another clang++.
set -euo pipefail
die() { echo "run.sh: $1" >&2; exit "${2:-1}"; }
fuzz=$(cd "$(dirname "$0")" && pwd) seconds=60 build=$(dirname "$0")/../build-fuzz
while (($# > 1)) && [[ $1 == --seconds || $1 == --build ]]; do
    [[ $1 == --seconds ]] && seconds=$2 || build=$2
    shift 2
done
[[ $# == 0 && $seconds =~ ^[1-9][0-9]*$ ]] || die "usage: run.sh [--seconds N] [--build DIR]" 2
# libFuzzer comes with clang only; a missing compiler is a failure, never a skip.
cxx=$(command -v "${CXX_FUZZ:-clang++}") || die "no clang++ (Debian: clang, libclang-rt-14-dev)"
mkdir -p "$build/logs" && cd "$build"
{ cmake -S "$fuzz" -B . -DCMAKE_CXX_COMPILER="$cxx" && cmake --build . -j "$(nproc)"; } \
    >logs/build.log 2>&1 || { cat logs/build.log >&2; die "building in $PWD failed"; }
status=0
for t in fuzz_echo fuzz_decoder fuzz_numberreader fuzz_linesettings; do
    mkdir -p "corpus/$t" "artifacts/$t" && cp -f "$fuzz/corpus/$t"/* "corpus/$t/"
    # The outer timeout ends a target that hangs outside libFuzzer's own watch.
    timeout -k 10 $((seconds + 60)) "./$t" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="artifacts/$t/" "corpus/$t" \
        >"logs/$t.log" 2>&1 || { tail -n 40 "logs/$t.log" >&2; status=1; }
    sed -n "s/^stat::number_of_executed_units: */$t: executions in ${seconds}s: /p" "logs/$t.log"
done
((status == 0)) || die "a target found a fault; inputs in $PWD/artifacts/"
