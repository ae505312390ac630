#!/usr/bin/env bash
# Times the core's three jobs against wc, grep and ripgrep on a made-up 200 MB joke collection,
# natively and the Windows build under Wine (the 32-bit one, or the 64-bit twin where this
# machine cannot execute 32-bit programs; in-process beside a read-only floor, and the real
# program driven from outside), and witz suche against rg, and writes the results into
# docs/performance.md. The collection stays in $POINTEX_BENCH_DIR (default /tmp/pointex-bench).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
work=${POINTEX_BENCH_DIR:-/tmp/pointex-bench}
runs=${POINTEX_BENCH_RUNS:-20}
text=Polizist

scripts/setup.sh

echo "== native build"
cmake -S bench -B build/bench-release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench-release -j 2
bench=$repo/build/bench-release/pointex_bench
cmake -S . -B build/bench-witz -G Ninja -DCMAKE_BUILD_TYPE=Release -DPOINTEX_TESTS=OFF >/dev/null
cmake --build build/bench-witz -j 2 --target witz
witz=$repo/build/bench-witz/witz/witz

echo "== collection in $work"
if [ ! -f "$work/made-200" ]; then
    rm -rf "$work/full" "$work/last" "$work/line"
    mkdir -p "$work/full/Witze" "$work/last/Witze" "$work/line/Witze"
    build/bench-release/make_collection "$work/full/Witze" 200
    # The last-joke job on its own, so that constructing the library counts just this file.
    cp "$work/full/Witze/Kategorie-001" "$work/last/Witze/"
    build/bench-release/make_collection --single-line "$work/line/Witze/Einzeiler" 256
    touch "$work/made-200"
fi
results=$work/results
rm -rf "$results"
mkdir -p "$results"

# The peers in the C locale, their output into a pipe: grep and rg stop at the first match
# when they write to /dev/null.
export LC_ALL=C
timed() { # name, runs, commands...
    local name=$1 count=$2
    shift 2
    hyperfine -N --warmup 3 --runs "$count" --output=pipe --export-json "$results/$name.json" "$@"
}
peak() { # label, command...
    local label=$1
    shift
    /usr/bin/time -f %M -o "$results/peak" "$@" | cat >/dev/null
    printf '%s\t%s\n' "$label" "$(tail -n 1 "$results/peak")" >>"$results/memory.txt"
}

cd "$work/full"
files=$(printf '%s ' Witze/*)
ours=$("$bench" search "$text")
oursCase=$("$bench" search "$text" --case)
# shellcheck disable=SC2086
grepCount=$(grep -c -F -i "$text" $files | awk -F: '{ s += $NF } END { print s }')
# shellcheck disable=SC2086
grepCaseCount=$(grep -c -F "$text" $files | awk -F: '{ s += $NF } END { print s }')
echo "hits: $ours (grep -c: $grepCount), case kept: $oursCase (grep -c: $grepCaseCount)"
if [ "$ours" != "$grepCount" ] || [ "$oursCase" != "$grepCaseCount" ]; then
    echo "bench: the hit counts differ from grep's" >&2
    exit 1
fi

witzCount=$("$witz" suche "$text" --gross-klein | wc -l)
if [ "$witzCount" != "$grepCaseCount" ]; then
    echo "bench: witz suche prints $witzCount lines, grep -c counts $grepCaseCount" >&2
    exit 1
fi

echo "== native jobs"
timed count $((runs * 2)) "$bench count" "wc -l $files"
timed search-i "$runs" "$bench search $text" "rg -j1 -n -F -i $text Witze" \
    "grep -n -F -i $text $files"
timed search "$runs" "$bench search $text --case" "rg -j1 -n -F $text Witze" \
    "grep -n -F $text $files"
timed witz "$runs" "$witz suche $text --gross-klein" "rg -j1 -n -F $text Witze"
peak "pointex_bench count (200 MB)" "$bench" count
peak "pointex_bench search $text (200 MB)" "$bench" search "$text"
peak "pointex_bench search $text --case (200 MB)" "$bench" search "$text" --case
peak "rg -j1 -n -F -i $text (200 MB)" rg -j1 -n -F -i "$text" Witze
# shellcheck disable=SC2086
peak "grep -n -F -i $text (200 MB)" grep -n -F -i "$text" $files

cd "$work/last"
# With the construct job of this folder in the same run, to show its share.
timed last $((runs * 2)) "$bench last" "wc -l Witze/Kategorie-001" "$bench count"
peak "pointex_bench last (4 MB)" "$bench" last

cd "$work/line"
timed line 5 "$bench search $text" "$bench search $text --case" "wc -l Witze/Einzeiler"
peak "pointex_bench search $text (one 256 MB line)" "$bench" search "$text"
peak "pointex_bench search $text --case (one 256 MB line)" "$bench" search "$text" --case
peak "rg -j1 -c -F $text (one 256 MB line)" rg -j1 -c -F "$text" Witze

echo "== Windows build under Wine"
cd "$repo"
(
    export POINTEX_WINEPREFIX=/tmp/pointex-wine-bench
    # shellcheck source=wine-env.sh
    . scripts/wine-env.sh
    trap wine_env_stop EXIT
    # With the toolchain of the shipped Pointex.exe (its thread model) or of the twin.
    if [ "$pointex_wine_arch" = 64 ]; then
        build=build/bench-windows64 toolchain=toolchain-mingw-x86_64.cmake
        echo "the 64-bit twin under wine64 ($pointex_wine_reason)" >"$results/wine-build.txt"
    else
        build=build/bench-windows toolchain=toolchain-mingw-i686.cmake
        echo "the 32-bit build under Wine" >"$results/wine-build.txt"
    fi
    cmake -S bench -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/$toolchain" >/dev/null
    cmake --build "$build" -j 2
    exe=$repo/$build/pointex_bench.exe
    export LC_ALL=C
    cd "$work/full"
    [ "$(wine "$exe" search "$text" | tr -d '\r')" = "$ours" ] ||
        echo "bench: the Windows build finds a different number of hits" >&2
    timed wine 5 "wine $exe count" "wine $exe read" "wine $exe search $text" \
        "wine $exe search $text --case" "$bench count"
    # Each job's own time, measured inside the process, without Wine's start: medians of
    # several runs (report.py), the floor (read) beside each.
    inProcess() { # folder, label, arguments...
        local folder=$1 label=$2
        shift 2
        for _ in $(seq 1 "$wineRuns"); do
            (cd "$folder" && wine "$exe" "$@" --time 2>&1 >/dev/null | tr -d '\r' |
                sed "s/^/$label\t/")
        done >>"$results/in-process.txt"
    }
    wineRuns=${POINTEX_BENCH_WINE_RUNS:-9}
    inProcess "$work/full" read read
    inProcess "$work/full" count count
    inProcess "$work/full" search-i search "$text"
    inProcess "$work/full" search search "$text" --case
    inProcess "$work/last" read-last read
    inProcess "$work/last" last last

    echo "== the real program, driven from outside"
    cd "$repo"
    wine_env_build pointex_blackbox
    mkdir -p "$work/empty/Witze"
    export POINTEX_E2E_TIMEOUT_SCALE=20
    wine "$pointex_tests_build/tests/e2e/pointex_blackbox.exe" "$(winepath -w "$work/full")" \
        "$(winepath -w "$work/empty")" "$text" "${POINTEX_BENCH_BLACKBOX_RUNS:-5}" |
        tr -d '\r' >"$results/blackbox.txt"
)

{
    cpu=$(grep -m 1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')
    echo "Machine: $(nproc) cores, $cpu, $(uname -sr);" \
        "load average at the end $(cut -d' ' -f1-3 /proc/loadavg)."
    echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC')" \
        "with hyperfine $(hyperfine --version | cut -d' ' -f2)," \
        "$(rg --version | sed -n 1p), GNU grep $(grep --version | sed -n 1p | awk '{print $NF}')," \
        "wc $(wc --version | sed -n 1p | awk '{print $NF}'); $(g++ --version | sed -n 1p)."
    echo "Search text \"$text\": $ours lines with case ignored, $oursCase with case kept" \
        "(grep -c agrees: $grepCount, $grepCaseCount)."
} >"$results/facts.txt"
python3 bench/report.py "$results" docs/performance.md
echo "== written to docs/performance.md"
