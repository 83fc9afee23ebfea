#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time on a working copy of its
# seed corpus (fuzz/corpus/NAME itself is never written).
#
#   fuzz/run.sh                  60 s each, build in build-fuzz/
#   fuzz/run.sh --seconds 600    a long run
#   fuzz/run.sh --build DIR      another build tree (the fuzz_smoke test passes its own)
#
# Fails when a target stops on a crash, a sanitizer report or a broken invariant; the input is
# kept in DIR/artifacts/NAME/, the target's output in DIR/NAME.log. CXX_FUZZ names another
# clang++.
set -euo pipefail
die() { echo "run.sh: $1" >&2; exit "${2:-1}"; }
fuzz=$(cd "$(dirname "$0")" && pwd) seconds=60 build=$(dirname "$0")/../build-fuzz
while (($# > 1)) && [[ $1 == --seconds || $1 == --build ]]; do
    [[ $1 == --seconds ]] && seconds=$2 || build=$2; shift 2; done
[[ $# == 0 && $seconds =~ ^[1-9][0-9]*$ ]] || die "usage: run.sh [--seconds N] [--build DIR]" 2
# libFuzzer comes with clang only; a missing compiler is a failure, never a skip.
cxx=$(command -v "${CXX_FUZZ:-clang++}") || die "no clang++ (Debian: clang, libclang-rt-14-dev)"
mkdir -p "$build" && cd "$build"
{ cmake -S "$fuzz" -B . -DCMAKE_CXX_COMPILER="$cxx" && cmake --build .; } >build.log 2>&1 ||
    { cat build.log >&2; die "building in $PWD failed"; }
for name in exchange telnet; do
    mkdir -p "corpus/$name" "artifacts/$name" && cp -f "$fuzz/corpus/$name"/* "corpus/$name/"
    # The outer timeout ends a target that hangs outside libFuzzer's own watch.
    timeout -k 10 $((seconds + 60)) "./fuzz_$name" -max_total_time="$seconds" -max_len=4096 \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="artifacts/$name/" \
        "corpus/$name" >"$name.log" 2>&1 ||
        { tail -n 40 "$name.log" >&2; die "fuzz_$name found a fault; inputs in $PWD/artifacts/$name/"; }
    sed -n "s/^stat::number_of_executed_units: */fuzz_$name: executions in ${seconds}s: /p" "$name.log"
done
