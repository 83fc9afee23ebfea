#!/usr/bin/env bash
# Builds the fuzz targets with clang (if needed) and runs each for a bounded time on a
# working copy of its seed corpus; the committed corpus under fuzz/corpus is never written.
#
#   fuzz/run.sh                        every target 60 s, build in build-fuzz/
#   fuzz/run.sh --seconds 600          a long run
#   fuzz/run.sh --build DIR            another build tree (the fuzz_smoke test passes its own)
#   fuzz/run.sh --only fuzz_echo       one target
#   fuzz/run.sh -- -only_ascii=1       anything after -- goes to libFuzzer
#
# Fails when a target stops on a crash, a sanitizer report or a broken invariant; the input
# is kept in DIR/artifacts/<target>/. Prints the executions each target reports.
set -euo pipefail

fuzz_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$fuzz_dir/.." && pwd)
targets=(fuzz_echo fuzz_decoder fuzz_numberreader fuzz_linesettings)

seconds=60
build_dir="$root/build-fuzz"
only=""
extra=()
while (($# > 0)); do
    case "$1" in
    --seconds) seconds=${2:?--seconds needs a number}; shift 2 ;;
    --build) build_dir=${2:?--build needs a directory}; shift 2 ;;
    --only) only=${2:?--only needs a target name}; shift 2 ;;
    --) shift; extra=("$@"); break ;;
    -h | --help) sed -n '2,/^$/s/^# \{0,1\}//p' "${BASH_SOURCE[0]}"; exit 0 ;;
    *) echo "run.sh: unknown argument '$1' (see --help)" >&2; exit 2 ;;
    esac
done
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
    echo "run.sh: --seconds takes a whole number of seconds, not '$seconds'" >&2
    exit 2
fi
if [ -n "$only" ]; then
    [[ " ${targets[*]} " == *" $only "* ]] || { echo "run.sh: no target '$only'" >&2; exit 2; }
    targets=("$only")
fi

# libFuzzer comes with clang only; a missing compiler is a failure, never a skip.
cxx=""
for candidate in "${CXX_FUZZ:-}" clang++ clang++-14; do
    if [ -n "$candidate" ] && command -v "$candidate" >/dev/null; then
        cxx=$(command -v "$candidate")
        break
    fi
done
if [ -z "$cxx" ]; then
    echo "run.sh: clang++ not found. The fuzz targets need clang and its libFuzzer runtime:" >&2
    echo "        sudo apt-get install clang libclang-rt-14-dev   (or run scripts/setup.sh)" >&2
    exit 1
fi

mkdir -p "$build_dir"
build_dir=$(cd "$build_dir" && pwd)
fail_with_log() {
    cat "$1" >&2
    echo "run.sh: $2" >&2
    exit 1
}
# Configured every time (quick once done), so a tree whose first configure failed recovers;
# the compiler is chosen only on the first.
compiler=()
[ -f "$build_dir/CMakeCache.txt" ] || compiler=(-DCMAKE_CXX_COMPILER="$cxx")
cmake -S "$fuzz_dir" -B "$build_dir" "${compiler[@]}" >"$build_dir/configure.log" 2>&1 ||
    fail_with_log "$build_dir/configure.log" "configuring $build_dir failed"
cmake --build "$build_dir" --parallel "$(nproc)" --target "${targets[@]}" \
    >"$build_dir/build.log" 2>&1 ||
    fail_with_log "$build_dir/build.log" "building in $build_dir failed"

# Far more runs than fit in the time; only a stop if the clock were ignored. The outer
# timeout ends a target that hangs outside libFuzzer's own watch.
max_runs=$((seconds * 5000000))
total=0
failed=()
summary=()
for target in "${targets[@]}"; do
    work="$build_dir/corpus/$target"
    artifacts="$build_dir/artifacts/$target"
    log="$build_dir/logs/$target.log"
    mkdir -p "$work" "$artifacts" "$(dirname "$log")"
    # The working corpus keeps what earlier runs found; the seeds are copied in afresh.
    cp -f "$fuzz_dir/corpus/$target"/* "$work"/

    echo "== $target: ${seconds}s"
    touch "$build_dir/logs/.start"
    status=0
    ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1} \
    UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
        timeout --kill-after=10 $((seconds + 60)) \
        "$build_dir/$target" -max_total_time="$seconds" -runs="$max_runs" -max_len=4096 \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "${extra[@]}" "$work" >"$log" 2>&1 || status=$?

    runs=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$log" | tail -n 1)
    [ -n "$runs" ] || runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -n 1)
    [ -n "$runs" ] || runs=0
    total=$((total + runs))
    if [ "$status" -ne 0 ]; then
        failed+=("$target")
        echo "!! $target stopped with status $status; the end of $log:" >&2
        tail -n 60 "$log" >&2
        find "$artifacts" -type f -newer "$build_dir/logs/.start" | sed 's/^/!! kept input: /' >&2
    fi
    summary+=("$(printf '%-20s %12s executions%s' "$target" "$runs" \
        "$( [ "$status" -eq 0 ] || echo "  FAILED (status $status)")")")
done

echo "== executions per target (${seconds}s each)"
printf '%s\n' "${summary[@]}"
printf '%-20s %12s executions\n' "total" "$total"
if ((${#failed[@]} > 0)); then
    echo "run.sh: ${failed[*]} found a fault; inputs in $build_dir/artifacts/" >&2
    exit 1
fi
