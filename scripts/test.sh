#!/usr/bin/env bash
# Sets up what is missing, builds Pointex natively and for Windows, and runs every test: the core
# tests natively, under sanitizers and valgrind, and under Wine; time-boxed fuzzing; the resource
# and end-to-end tests of the real executable under Wine; the benchmark's smoke check; and the
# reproducible-build check. Ends with one line counting the stages; exits non-zero on a failure.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

scripts/setup.sh || exit 1

jobs=$(nproc)
status=0
passed=0
failed=0

# Runs one stage of the test command and counts it.
stage() { # title, command...
    echo "== $1"
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        status=1
    fi
}

configure_and_build() { # folder, extra cmake arguments...
    local folder=$1
    shift
    cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null &&
        cmake --build "$folder" -j "$jobs"
}

echo "== native build"
configure_and_build build/native || exit 1
echo "== Windows build (MinGW-w64 i686)"
configure_and_build build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake || exit 1

stage "native core tests" ctest --test-dir build/native -j "$jobs" --output-on-failure
stage "core tests under AddressSanitizer, UndefinedBehaviorSanitizer and valgrind" \
    scripts/test-sanitizers.sh
stage "fuzzing the reader and the search (time-boxed, in memory, then on real files)" scripts/fuzz.sh

echo "== Wine environment"
# shellcheck source=wine-env.sh
. scripts/wine-env.sh
trap wine_env_stop EXIT
# One at a time: parallel Wine starts are flaky.
stage "Windows core, resource and end-to-end tests under Wine" \
    ctest --test-dir build/windows -j 1 --output-on-failure
stage "benchmark smoke: the bench jobs agree with grep" scripts/bench-smoke.sh
stage "reproducible build of Pointex.exe" scripts/check-reproducible.sh

echo "stages: $passed passed, $failed failed"
exit $status
