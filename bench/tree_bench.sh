#!/usr/bin/env bash
# Times the real Pointex.exe filling its result tree under Wine (bench/tree_blackbox.cpp): 68
# categories of 1,600 hits each, 100,000 hits in one category, and the benchmark's 200 MB
# collection. POINTEX_EXE names another Pointex.exe to time (an older build, for comparison).
# Usage: bench/tree_bench.sh [RUNS]; the collections stay in $POINTEX_BENCH_DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
work=${POINTEX_BENCH_DIR:-/tmp/pointex-bench}
runs=${1:-3}

make_hits() { # folder, categories, jokes per category: every joke holds "Frau", 68 bytes a line
    [ -f "$1/made" ] && return 0
    rm -rf "$1" && mkdir -p "$1/Witze"
    python3 - "$1/Witze" "$2" "$3" <<'EOF'
import sys
folder, categories, jokes = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
for c in range(1, categories + 1):
    with open(f"{folder}/Kategorie-{c:03}", "wb") as f:
        for j in range(1, jokes + 1):
            f.write(b"Eine Frau fragt den Arzt: Was fehlt mir? \x12Nichts, Witz %07d.\n" % j)
EOF
    touch "$1/made"
}
make_hits "$work/tree-68" 68 1600
make_hits "$work/tree-1" 1 100000
if [ ! -f "$work/made-200" ]; then
    echo "no bench collection in $work/full: scripts/bench.sh makes it" >&2
fi

# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh
trap wine_env_stop EXIT
wine_env_build tree_blackbox >/dev/null
export POINTEX_E2E_TIMEOUT_SCALE=100
measure() { # folder, text
    [ -d "$1/Witze" ] || return 0
    echo "== $1, \"$2\""
    wine "$pointex_tests_build/tests/e2e/tree_blackbox.exe" "$(winepath -w "$1")" "$2" "$runs" |
        tr -d '\r'
}
measure "$work/tree-68" Frau
measure "$work/tree-1" Frau
measure "$work/full" Polizist
