#!/usr/bin/env bash
# Imports Debian's fortunes-de with the native witz and checks counts, texts, search hits and
# pruefe against the script's own record parser. Arguments go to scripts/witz_fortunes.py
# (for example --every 10).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ ! -d /usr/share/games/fortunes/de ]; then
    echo "test-witz: fortunes-de is not installed (scripts/setup.sh installs it)" >&2
    exit 1
fi
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j 2 --target witz >/dev/null
python3 scripts/witz_fortunes.py "$@" build/native/witz/witz
