#!/usr/bin/env bash
# Times two builds of pointex_bench in one run, alternating them run by run so that the machine's
# load falls on both alike, and prints each job's in-process medians (the library's construction
# and the job after it) and the fastest runs side by side, with the second build's time over the
# first's.
# Usage: bench/compare.sh FOLDER RUNS FIRST SECOND [TEXT]
#   FOLDER holds Witze; FIRST and SECOND are commands that start pointex_bench, for example
#   build/bench-release/pointex_bench or "wine build/bench-windows/pointex_bench.exe".
set -euo pipefail
if [ $# -lt 4 ]; then
    sed -n '2,9s/^# \{0,1\}//p' "$0" >&2
    exit 2
fi
folder=$1 runs=$2 first=$3 second=$4 text=${5:-Polizist}
times=$(mktemp)
trap 'rm -f "$times"' EXIT

jobs=("read" "count" "search $text" "search $text --case")
cd "$folder"
for _ in $(seq 1 "$runs"); do
    for job in "${jobs[@]}"; do
        for build in first second; do
            # shellcheck disable=SC2086 # the commands and jobs are words on purpose
            ${!build} $job --time 2>&1 >/dev/null | tr -d '\r' | sed "s/^/$build\t$job\t/"
        done
    done
done >"$times"

python3 - "$times" "$first" "$second" <<'EOF'
import re, statistics, sys
path, first, second = sys.argv[1:]
runs = {}
for line in open(path):
    build, job, report = line.rstrip("\n").split("\t")
    found = re.match(r"construct ([\d.]+) ms, job ([\d.]+) ms", report)
    if found:
        construct, work = (float(x) for x in found.groups())
        runs.setdefault((job, build), []).append([construct, work, construct + work])
print(f"first: {first}\nsecond: {second}")
print("medians, and the fastest run of each (least disturbed by other load)")
print(f"{'':33} {'construct ms':^24}  {'job ms':^24}  {'fastest run, both ms':^24}")
print(f"{'job':28} {'runs':>4} " + f"{'first':>8} {'second':>8} {'ratio':>6}  " * 3)
for job in dict.fromkeys(j for j, _ in runs):
    a, b = runs[(job, "first")], runs[(job, "second")]
    cells = []
    for k, pick in ((0, statistics.median), (1, statistics.median), (2, min)):
        x, y = pick(r[k] for r in a), pick(r[k] for r in b)
        cells.append(f"{x:8.1f} {y:8.1f} {y / x if x else 0:6.3f}")
    print(f"{job:28} {min(len(a), len(b)):4} " + "  ".join(cells))
EOF
