#!/usr/bin/env bash
# Traces the native witz import's file calls with strace and checks that nothing is ever created
# in Witze but the category itself, by the one final link or rename of a temporary file from
# beside Witze: a Pointex started meanwhile lists every file there. Covers a missing Witze, a new
# category beside another, --anhaengen and --ersetzen-datei. Argument: the witz to trace
# (default: the native build's, built here).
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v strace >/dev/null; then
    echo "test-import-trace: strace is not installed (scripts/setup.sh installs it)" >&2
    exit 1
fi
witz=${1:-}
if [ -z "$witz" ]; then
    cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build/native -j 2 --target witz >/dev/null
    witz=build/native/witz/witz
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
collection=$work/Sammlung
witze=$collection/Witze
mkdir "$collection"
printf 'Erster Witz.\n%%\nZweiter Witz.\n%%\n' >"$work/quelle"
failures=0

# The names in a folder on one line; the script's own names need no care.
names() {
    # shellcheck disable=SC2012
    ls -A "$1" | paste -sd' '
}

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Imports the source as Witze/NAME under strace; the calls that create a name in Witze must be
# exactly one link or rename onto Witze/NAME, from outside Witze.
check() { # description, name, the names Witze holds afterwards, witz options...
    local what=$1 name=$2 expected=$3
    shift 3
    local log=$work/trace creations
    if ! strace -f -qq -s 4096 -e trace=%file -o "$log" \
        "$witz" -C "$collection" import "$work/quelle" --nach "$name" "$@" >/dev/null; then
        fail "$what: witz import failed"
        return
    fi
    creations=$(grep -F "\"$witze/" "$log" |
        grep -E '^[0-9]+ +((open|openat|creat)\(.*O_CREAT|(mkdir|mkdirat|mknod|mknodat|symlink|symlinkat|link|linkat|rename|renameat|renameat2)\()' ||
        true)
    if [ "$(printf '%s\n' "$creations" | grep -c .)" != 1 ] ||
        ! printf '%s\n' "$creations" | grep -qE '^[0-9]+ +(link|linkat|rename|renameat|renameat2)\(' ||
        ! printf '%s\n' "$creations" | grep -qF "\"$witze/$name\"" ||
        [ "$(printf '%s\n' "$creations" | grep -oF "\"$witze/" | wc -l)" != 1 ]; then
        fail "$what: created in Witze otherwise than by one final link or rename:"
        printf '%s\n' "$creations" >&2
    fi
    if [ "$(names "$collection")" != Witze ] || [ "$(names "$witze")" != "$expected" ]; then
        fail "$what: left $(names "$collection") beside Witze, $(names "$witze") in it"
    fi
}

check "a new category, Witze missing" Erste "Erste"
check "a new category beside another" Zweite "Erste Zweite"
check "--anhaengen" Erste "Erste Zweite" --anhaengen
check "--ersetzen-datei" Zweite "Erste Zweite" --ersetzen-datei
if [ $failures -ne 0 ]; then
    exit 1
fi
echo "import-trace: 4 imports create nothing in Witze but by their final rename"
