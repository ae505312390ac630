#!/usr/bin/env bash
# Imports Debian's fortunes-de with the native witz and checks counts, texts, search hits and
# pruefe against the script's own record parser; then does the same with the Windows console
# witz.exe under Wine (every 100th record shown), and opens the natively imported collection in
# Pointex.exe under Wine, which must list every category with the count the files hold. The
# Windows build is the 32-bit one, or the 64-bit twin where this machine cannot execute 32-bit
# programs. Last, scripts/test-import-trace.sh traces the native import's file calls. Arguments
# go to scripts/witz_fortunes.py's native run (for example --every 10).
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
wine_env_build witz Pointex pointex_e2e >/dev/null

echo "== the Windows console witz.exe under Wine ($pointex_build)"
# One at a time: parallel Wine starts are flaky.
python3 scripts/witz_fortunes.py --every 100 --jobs 1 wine "$pointex_build/witz/witz.exe"

echo "== the imported collection in Pointex.exe under Wine ($pointex_build)"
wine_env_folder_check "$repo/$pointex_build/Pointex.exe" "$collection"

echo "== the native witz import under strace: nothing written in Witze but by the final rename"
scripts/test-import-trace.sh "$repo/build/native/witz/witz"
