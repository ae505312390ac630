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

# With case ignored the capitals of ISO 8859-1 count as small letters (A to Z, and 0xC0 to 0xDE
# but 0xD7), which grep -i in the C locale does not do: the files and the text are folded first.
fold() { tr 'A-Z\300-\326\330-\336' 'a-z\340-\366\370-\376'; }
for text in Polizist polizist ZAHNARZT "ist d" $'K\xe4se' $'\xf6l ' $'\xc4RGER' $'\x12Die' \
    "Ostfriese sagt"; do
    # grep exits 1 when no line matches.
    expected=$(for file in "${files[@]}"; do
        { fold <"$file" | grep -c -F -e "$(printf %s "$text" | fold)" || true; }
    done | awk '{ s += $1 } END { print s }')
    check "search $(printf %q "$text")" "$("$bench" search "$text")" "$expected"
    expected=$({ grep -c -F -e "$text" "${files[@]}" || true; } |
        awk -F: '{ s += $NF } END { print s }')
    check "search $(printf %q "$text") (case kept)" "$("$bench" search "$text" --case)" "$expected"
done

# The last joke of the largest category: its number is that file's line ends + 1.
read -r name joke _ < <("$bench" last)
check "last joke of $name" "$joke" "$(($(tr -cd '\n' <"Witze/$name" | wc -c) + 1)):"
exit $status
