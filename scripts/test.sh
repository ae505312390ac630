#!/usr/bin/env bash
# Sets up what is missing, builds Pointex natively and for Windows, and runs every test: the core
# and witz tests natively, the core tests also under sanitizers and valgrind and under Wine; witz
# on Debian's fortunes-de; time-boxed fuzzing; the resource and end-to-end tests of the real
# executable under Wine; the benchmark's smoke check; the reproducible-build check; the release
# package and the Debian package, each built twice and started unpacked under Wine. The Windows
# tests run for the shipped 32-bit build where this machine executes 32-bit programs, and always
# for the 64-bit twin under wine64; a run this machine cannot do is reported as not run, with the
# reason. Ends with one line counting the stages; exits non-zero on a failure.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

scripts/setup.sh || exit 1

jobs=$(nproc)
status=0
passed=0
failed=0
skipped=0

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

# A stage this machine cannot run: said, with the reason, and counted apart.
not_run() { # title, reason
    echo "== $1"
    echo "not run: $2"
    skipped=$((skipped + 1))
}

# Each build is one configure with its CMake preset (CMakePresets.json).
configure_and_build() { # preset
    cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j "$jobs"
}

echo "== native build"
configure_and_build native || exit 1
echo "== Windows build of the shipped programs (MinGW-w64 i686, win32 thread model)"
configure_and_build windows || exit 1
echo "== Windows build of their tests (MinGW-w64 i686, posix thread model)"
configure_and_build windows-tests || exit 1
echo "== Windows build of the 64-bit twin and its tests (MinGW-w64 x86_64)"
configure_and_build windows64 || exit 1

stage "native core tests" ctest --test-dir build/native -j "$jobs" --output-on-failure
stage "core tests under AddressSanitizer, UndefinedBehaviorSanitizer and valgrind" \
    scripts/test-sanitizers.sh
stage "fuzzing the reader, the search and witz import (time-boxed, in memory, then on real files)" \
    scripts/fuzz.sh

echo "== Wine environment"
# shellcheck source=wine-env.sh
if . scripts/wine-env.sh; then
    trap wine_env_stop EXIT
    # One at a time: parallel Wine starts are flaky.
    title="Windows core, resource and end-to-end tests of the 32-bit Pointex.exe under Wine"
    if [ "$pointex_wine_arch" = 32 ]; then
        stage "$title" ctest --test-dir build/windows-tests -j 1 --output-on-failure
    else
        not_run "$title" "$pointex_wine_reason"
    fi
    stage "Windows core, resource and end-to-end tests of the 64-bit twin under wine64" \
        eval 'wine_env_use 64 && ctest --test-dir build/windows64 -j 1 --output-on-failure'
else
    echo "FAIL: no Wine environment, so no Windows tests ran"
    failed=$((failed + 1))
    status=1
fi
# It enters and ends a Wine environment of its own.
stage "witz: fortunes-de imported, records shown, searches against grep -c, natively and under Wine; the collection in Pointex.exe" \
    scripts/test-witz.sh
stage "benchmark smoke: the bench jobs agree with grep" scripts/bench-smoke.sh
stage "reproducible build of Pointex.exe" scripts/check-reproducible.sh
# It enters and ends a Wine environment of its own.
stage "release package: the same zip from two builds, its entries, started unpacked under Wine" \
    scripts/check-package.sh
stage "Debian package: built twice alike, lintian, witz and the launcher unpacked under Wine" \
    scripts/check-deb.sh

echo "stages: $passed passed, $failed failed, $skipped skipped"
exit $status
