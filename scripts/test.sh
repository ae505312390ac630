#!/usr/bin/env bash
# Sets up what is missing, builds Pointex natively and for Windows, and runs every test:
# the core tests natively and under Wine, and the end-to-end tests of the real executable.
set -uo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh || exit 1

jobs=$(nproc)
status=0

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

echo "== native tests"
ctest --test-dir build/native -j "$jobs" --output-on-failure || status=1

echo "== core tests under AddressSanitizer, UndefinedBehaviorSanitizer and valgrind"
scripts/test-sanitizers.sh || status=1

echo "== fuzzing the reader and the search (time-boxed)"
scripts/fuzz.sh || status=1

echo "== Windows tests under Wine"
# shellcheck source=wine-env.sh
. scripts/wine-env.sh
trap wine_env_stop EXIT
# One at a time: parallel Wine starts are flaky.
ctest --test-dir build/windows -j 1 --output-on-failure || status=1

echo "== benchmark smoke: the bench jobs agree with grep"
scripts/bench-smoke.sh || status=1

echo "== reproducible build of Pointex.exe"
scripts/check-reproducible.sh || status=1

exit $status
