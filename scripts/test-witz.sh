#!/usr/bin/env bash
# Imports Debian's fortunes-de with the native witz and checks counts, texts, search hits and
# pruefe against the script's own record parser; then does the same with the Windows console
# witz.exe under Wine (every 100th record shown), and opens the natively imported collection in
# Pointex.exe under Wine, which must list every category with the count the files hold. The
# Windows build is the 32-bit one, or the 64-bit twin where this machine cannot execute 32-bit
# programs. Arguments go to scripts/witz_fortunes.py's native run (for example --every 10).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

if [ ! -d /usr/share/games/fortunes/de ]; then
    echo "test-witz: fortunes-de is not installed (scripts/setup.sh installs it)" >&2
    exit 1
fi
collection=$repo/build/witz-fortunes
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j 2 --target witz >/dev/null
echo "== the native witz"
python3 scripts/witz_fortunes.py "$@" --keep "$collection" build/native/witz/witz

# shellcheck source=wine-env.sh
. scripts/wine-env.sh
trap wine_env_stop EXIT
if [ "$pointex_wine_arch" = 32 ]; then
    build=build/windows toolchain=cmake/toolchain-mingw-i686.cmake
else
    build=build/windows64 toolchain=cmake/toolchain-mingw-x86_64.cmake
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    >/dev/null
cmake --build "$build" -j 2 --target witz Pointex pointex_e2e >/dev/null

echo "== the Windows console witz.exe under Wine ($build)"
# One at a time: parallel Wine starts are flaky.
python3 scripts/witz_fortunes.py --every 100 --jobs 1 wine "$build/witz/witz.exe"

echo "== the imported collection in Pointex.exe under Wine ($build)"
log=$repo/build/witz-fortunes.log
status=0
POINTEX_EXE="$repo/$build/Pointex.exe" POINTEX_E2E_FOLDER="$collection" \
    wine "$build/tests/e2e/pointex_e2e.exe" --gtest_filter='FolderCheck.*' >"$log" 2>&1 ||
    status=$?
grep -F '[ folder  ]' "$log" || true
# A test that did not see the folder skips, which is no check at all.
if [ $status -ne 0 ] || ! grep -q '^\[  PASSED  \] 1 test' "$log" || grep -q 'SKIPPED' "$log"; then
    cat "$log"
    echo "FAIL: Pointex does not list the imported collection as its files say" >&2
    exit 1
fi
