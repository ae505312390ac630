#!/usr/bin/env bash
# Builds the libFuzzer targets of the joke reader and the search and runs each for a bounded
# time. Exits non-zero when a target crashes, leaks or finds a mismatch with its reference.
# Usage: scripts/fuzz.sh [seconds per target]   (default 30, or POINTEX_FUZZ_SECONDS)
# Inputs found are kept in build/fuzz/corpus/<target>, crashing ones in build/fuzz/artifacts/.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

seconds=${1:-${POINTEX_FUZZ_SECONDS:-30}}
targets=(reader search)
here=$(pwd)
out=$here/build/fuzz

echo "== fuzz build (build/fuzz, clang)"
cmake -S tests/fuzz -B "$out" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
    cmake --build "$out" -j 2 || exit 1

status=0
passed=0
mkdir -p "$out/artifacts"
for target in "${targets[@]}"; do
    echo "== fuzzing $target for $seconds s"
    mkdir -p "$out/corpus/$target"
    log=$out/$target.log
    # The first folder collects what the run finds; the seeds in the repository stay untouched.
    # Absolute paths: the targets change into their own working directory while they run.
    # -max_len lets inputs reach past the reader's 128 KiB blocks even without a size mode.
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$out/${target}_fuzz" "$out/corpus/$target" "$here/tests/fuzz/corpus/$target" \
        -max_total_time="$seconds" -max_len=300000 -timeout=60 -rss_limit_mb=4096 \
        -dict="$here/tests/fuzz/joke.dict" -print_final_stats=1 -artifact_prefix="$out/artifacts/$target-" >"$log" 2>&1
    result=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    last=$(grep -E '^#[0-9]+' "$log" | grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+/[^ ]+' | tail -1)
    if [ $result -ne 0 ]; then
        echo "   $target FAILED (exit $result); the end of $log:"
        tail -n 40 "$log"
        find "$out/artifacts" -type f -printf "   artifact: %p\n"
        status=1
    else
        echo "   $target: ${runs:-?} inputs run, $last"
        passed=$((passed + 1))
    fi
done
echo "fuzz: $passed passed, $((${#targets[@]} - passed)) failed"
exit $status
