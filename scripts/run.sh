#!/usr/bin/env bash
# Sets up what is missing, builds Pointex.exe and starts it under Wine on the sample collection,
# or with --sammlung on the release collection (scripts/make-collection.sh, build/collection).
# On a machine that cannot execute 32-bit programs it builds and starts the 64-bit twin instead,
# and says so. With a display (DISPLAY set) it opens there and runs until you close it. Without one it starts
# its own Xvfb, saves a screenshot of the window (build/screenshot.png, or the file given with
# --screenshot FILE) and ends by itself.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

shot=""
folder=sample
while [ $# -gt 0 ]; do
    case "$1" in
    --screenshot)
        shot=$(realpath -m "${2:?--screenshot needs a file name}")
        shift 2
        ;;
    --sammlung)
        folder=build/collection
        shift
        ;;
    *)
        echo "usage: scripts/run.sh [--sammlung] [--screenshot FILE]" >&2
        exit 2
        ;;
    esac
done

scripts/setup.sh
if [ "$folder" = build/collection ]; then
    scripts/make-collection.sh "$folder"
fi

# Decides which build this machine runs, starts the display and enters the Wine prefix.
if [ -z "$shot" ] && [ -n "${DISPLAY:-}" ]; then
    export POINTEX_USE_DISPLAY=1
fi
# shellcheck source=wine-env.sh
. scripts/wine-env.sh
trap wine_env_stop EXIT
wine_env_build
exe=$repo/$pointex_build/Pointex.exe

if [ "${POINTEX_USE_DISPLAY:-0}" = 1 ]; then
    cd "$folder"
    echo "Pointex is running on $folder on $DISPLAY; close its window to end."
    wine "$exe"
    exit 0
fi

shot=${shot:-$repo/build/screenshot.png}
cd "$folder"
wine "$exe" >/dev/null 2>&1 &
for _ in $(seq 1 200); do
    xwininfo -root -tree 2>/dev/null | grep -q '"Pointex 1.50' && break
    sleep 0.1
done
sleep 1 # let the first paint finish
mkdir -p "$(dirname "$shot")"
import -window root -crop 700x600+0+0 +repage "$shot"
echo "Pointex started on $folder under Wine on a private display ($DISPLAY)."
echo "Screenshot of its window: $shot"
