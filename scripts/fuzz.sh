#!/usr/bin/env bash
# Builds the libFuzzer targets of the joke reader, the search and witz import and runs each for
# a bounded time on the memory file system, then briefly on real files in a temporary folder, so
# that the system's side of the platform seam (and witz's file writer) is fuzzed too. Exits
# non-zero when a target crashes, leaks or finds a mismatch with its reference.
# Usage: scripts/fuzz.sh [seconds per target]   (default 30, or POINTEX_FUZZ_SECONDS)
#   POINTEX_FUZZ_REAL_SECONDS: seconds per target on real files (default 10; 0 skips them)
# Inputs found are kept in build/fuzz/corpus/<target>, crashing ones in build/fuzz/artifacts/.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

seconds=${1:-${POINTEX_FUZZ_SECONDS:-30}}
real_seconds=${POINTEX_FUZZ_REAL_SECONDS:-10}
targets=(reader search import)
here=$(pwd)
out=$here/build/fuzz

echo "== fuzz build (build/fuzz, clang)"
cmake -S tests/fuzz -B "$out" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
    cmake --build "$out" -j 2 || exit 1

status=0
passed=0
runs=0
mkdir -p "$out/artifacts"

fuzz_target() { # target, seconds, files ("memory" or "real")
    local target=$1 time=$2 files=$3
    local log=$out/$target-$files.log real=0 dict=$here/tests/fuzz/joke.dict
    [ "$files" = real ] && real=1
    [ -f "$here/tests/fuzz/$target.dict" ] && dict=$here/tests/fuzz/$target.dict
    echo "== fuzzing $target for $time s on $files files"
    mkdir -p "$out/corpus/$target"
    runs=$((runs + 1))
    # The first folder collects what the run finds; the seeds in the repository stay untouched.
    # Absolute paths: on real files the targets change into their own working directory.
    # -max_len: four of the fuzz build's 1 KiB blocks. The allocator is not purged every
    # second: the pages handed back cost a fault each when used again.
    POINTEX_FUZZ_REAL_FILES=$real ASAN_OPTIONS=detect_leaks=1 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$out/${target}_fuzz" "$out/corpus/$target" "$here/tests/fuzz/corpus/$target" \
        -max_total_time="$time" -max_len=4096 -timeout=60 -rss_limit_mb=4096 \
        -purge_allocator_interval=-1 -dict="$dict" -print_final_stats=1 \
        -artifact_prefix="$out/artifacts/$target-" >"$log" 2>&1
    local result=$?
    local inputs last
    inputs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    last=$(grep -E '^#[0-9]+' "$log" | grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+/[^ ]+ .*exec/s: [0-9]+' | tail -1)
    if [ $result -ne 0 ]; then
        echo "   $target FAILED on $files files (exit $result); the end of $log:"
        tail -n 40 "$log"
        find "$out/artifacts" -type f -printf "   artifact: %p\n"
        status=1
    else
        echo "   $target: ${inputs:-?} inputs run, $last"
        passed=$((passed + 1))
    fi
}

for target in "${targets[@]}"; do
    fuzz_target "$target" "$seconds" memory
done
if [ "$real_seconds" != 0 ]; then
    for target in "${targets[@]}"; do
        fuzz_target "$target" "$real_seconds" real
    done
fi
echo "fuzz: $passed passed, $((runs - passed)) failed"
exit $status
