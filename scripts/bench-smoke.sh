#!/usr/bin/env bash
# Quick check of the benchmark's programs on a 12 MB collection: the three jobs run, the joke
# count matches the line ends, and every search finds as many lines as grep -c.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/bench-release

cmake -S bench -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
# Quiet unless the build fails, which must show why.
if ! log=$(cmake --build "$build" -j 2 2>&1); then
    printf '%s\n' "$log"
    exit 1
fi
bench=$PWD/$build/pointex_bench

work=$(mktemp -d /tmp/pointex-bench-smoke.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/Witze"
"$build/make_collection" "$work/Witze" 12 7
cd "$work"
export LC_ALL=C
status=0

check() { # what, ours, expected
    if [ "$2" = "$3" ]; then
        echo "ok   $1: $2"
    else
        echo "FAIL $1: $2, expected $3"
        status=1
    fi
}

files=(Witze/*)
lineEnds=$(cat "${files[@]}" | tr -cd '\n' | wc -c)
check "count" "$("$bench" count)" "${#files[@]} categories, $((lineEnds + ${#files[@]})) jokes"

for text in Polizist polizist ZAHNARZT "ist d" $'K\xe4se' $'\x12Die' "Ostfriese sagt"; do
    for mode in -i ""; do
        # grep exits 1 when no line matches.
        expected=$({ grep -c -F $mode -e "$text" "${files[@]}" || true; } |
            awk -F: '{ s += $NF } END { print s }')
        if [ -z "$mode" ]; then
            ours=$("$bench" search "$text" --case)
        else
            ours=$("$bench" search "$text")
        fi
        check "search $(printf %q "$text") ${mode:-(case kept)}" "$ours" "$expected"
    done
done

# The last joke of the largest category: its number is that file's line ends + 1.
read -r name joke _ < <("$bench" last)
check "last joke of $name" "$joke" "$(($(tr -cd '\n' <"Witze/$name" | wc -c) + 1)):"
exit $status
