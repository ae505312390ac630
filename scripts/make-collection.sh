#!/usr/bin/env bash
# Writes the release collection into a ready folder (default build/collection): Witze/ with our
# six sample categories and the records of Debian's fortunes-de that collection/quellen.tsv takes
# (whole files, or some records into another category), mended by collection/korrekturen.tsv and
# converted by the native witz import; the About texts about, version and lizenz (ISO 8859-1); and
# QUELLEN.txt (UTF-8, LF) naming origin, version, licence, the files and records taken and left,
# the corrections and the full GPL-2. The same fortunes-de version gives the same bytes. A missing
# package, a listed file missing from it or a list that does not fit it stops the script.
set -euo pipefail
cd "$(dirname "$0")/.."

out=${1:-build/collection}
list=collection/quellen.tsv
corrections=collection/korrekturen.tsv
source=${POINTEX_FORTUNES_DE:-/usr/share/games/fortunes/de}
gpl=/usr/share/common-licenses/GPL-2

if ! status=$(dpkg-query -W -f='${Status}' fortunes-de 2>/dev/null) ||
    [ "$status" != "install ok installed" ]; then
    echo "make-collection: the Debian package fortunes-de is not installed (scripts/setup.sh installs it)" >&2
    exit 1
fi
version=$(dpkg-query -W -f='${Version}' fortunes-de)
copyright=$(sed -n 's/^Copyright: *//p' /usr/share/doc/fortunes-de/copyright | head -n 1)
if [ ! -f "$gpl" ]; then
    echo "make-collection: $gpl is missing (Debian's base-files has it)" >&2
    exit 1
fi

# Rows of the list: file (maybe with its records, "file:29-36"), category ("-": left out), witz
# import options ("-": none), reason.
rows=$(grep -v '^#' "$list" | tail -n +2)
missing=()
while IFS=$'\t' read -r file category _ _; do
    file=${file%%:*}
    if [ "$category" != - ] && [ ! -f "$source/$file" ] && [[ ! " ${missing[*]} " =~ " $file " ]]; then
        missing+=("$file")
    fi
done <<<"$rows"
if [ ${#missing[@]} -gt 0 ]; then
    echo "make-collection: fortunes-de $version lacks what $list takes from $source: ${missing[*]}" >&2
    exit 1
fi
for path in "$source"/*; do
    name=${path##*/}
    if [ -f "$path" ] && [ ! -L "$path" ] && ! cut -f1 <<<"$rows" | cut -d: -f1 | grep -qxF "$name"; then
        echo "make-collection: warning: $source/$name is not in $list, so it is left out" >&2
    fi
done

cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j 2 --target witz >/dev/null
witz=$(pwd)/build/native/witz/witz

# Written beside the target and moved into place, so a failure leaves no half collection.
work=$out.new
rm -rf "$work"
mkdir -p "$work"
cp -r sample/Witze "$work/Witze"
cp sample/about sample/version "$work/"
samples=$(cd sample/Witze && printf '%s\n' * | LC_ALL=C sort | paste -sd, | sed -e 's/,/, /g' -e 's/\(.*\), /\1 und /')

taken=$(mktemp) left=$(mktemp) mended=$(mktemp) records=$(mktemp -d)
trap 'rm -rf "$taken" "$left" "$mended" "$records"' EXIT
# Each row's records, corrections applied, as a fortune file of their own.
if ! placed=$(python3 scripts/collection_sources.py write "$source" "$list" "$corrections" "$records"); then
    echo "make-collection: $list and $corrections do not fit fortunes-de $version" >&2
    exit 1
fi
while IFS=$'\t' read -r records_file category options named reason; do
    if [ "$category" = - ]; then
        printf '%s\n' "$named" | fold -s -w 72 | sed -e 's/ *$//' -e '1s/^/  /' -e '2,$s/^/    /' >>"$left"
        fold -s -w 70 <<<"$reason" | sed -e 's/ *$//' -e 's/^/      /' >>"$left"
        continue
    fi
    args=()
    [ "$options" = - ] || read -ra args <<<"$options"
    # Two rows may fill one category: the second appends, and its riddles are those it adds.
    riddles_before=0
    if [ -f "$work/Witze/$category" ]; then
        args+=(--anhaengen)
        riddles_before=$(LC_ALL=C grep -c $'\x12' "$work/Witze/$category" || true)
    fi
    if ! report=$("$witz" -C "$work" import "$records_file" --nach "$category" "${args[@]}"); then
        echo "make-collection: witz import $named --nach $category ${args[*]} failed" >&2
        exit 1
    fi
    count=$(sed -n 's/.*: \([0-9]*\) Witze\{0,1\} geschrieben.*/\1/p' <<<"$report")
    # What the editing rules made of the file: riddles, and what they left out.
    riddles=$(($(LC_ALL=C grep -c $'\x12' "$work/Witze/$category" || true) - riddles_before))
    doubles=$(sed -n 's/.* \([0-9]*\) doppelter\{0,1\} Witze\{0,1\} übersprungen.*/\1/p' <<<"$report")
    drawings=$(sed -n 's/.*Ausgelassen: \([0-9]*\) Zeichnung.*/\1/p' <<<"$report")
    kind=""
    [ "$riddles" = 0 ] || kind=", davon $riddles Rätsel"
    case ${drawings:-0} in
    0) ;;
    1) kind="$kind, 1 Zeichnung ausgelassen" ;;
    *) kind="$kind, $drawings Zeichnungen ausgelassen" ;;
    esac
    case ${doubles:-0} in
    0) ;;
    1) kind="$kind, 1 doppelter Witz ausgelassen" ;;
    *) kind="$kind, $doubles doppelte Witze ausgelassen" ;;
    esac
    printf '%s -> %s (%s%s)\n' "$named" "$category" "$count" "$kind" |
        fold -s -w 72 | sed -e 's/ *$//' -e '1s/^/  /' -e '2,$s/^/    /' >>"$taken"
    fold -s -w 70 <<<"$reason" | sed -e 's/ *$//' -e 's/^/      /' >>"$taken"
done <<<"$placed"
while IFS=$'\t' read -r file record _ _ reason; do
    printf '  %s, Eintrag %s\n' "$file" "$record" >>"$mended"
    fold -s -w 70 <<<"$reason" | sed -e 's/ *$//' -e 's/^/      /' >>"$mended"
done < <(grep -v '^#' "$corrections" | tail -n +2)

if ! "$witz" pruefe "$work/Witze" >/dev/null; then
    "$witz" pruefe "$work/Witze" >&2 || true
    echo "make-collection: witz pruefe finds faults in the collection" >&2
    exit 1
fi

# The About dialog shows its texts as ISO 8859-1.
sed -e "s/@BEISPIELE@/$samples/" -e "s/@FORTUNES_VERSION@/$version/" collection/lizenz |
    cat - <(tail -n +2 sample/lizenz) | iconv -f UTF-8 -t ISO-8859-1 >"$work/lizenz"
awk -v taken="$taken" -v left="$left" -v mended="$mended" -v samples="$samples" -v version="$version" \
    -v copyright="$copyright" '
    function insert(file,   line) { while ((getline line <file) > 0) print line }
    /^@GENOMMEN@$/ { insert(taken); next }
    /^@NICHT_GENOMMEN@$/ { insert(left); next }
    /^@KORRIGIERT@$/ { insert(mended); next }
    { gsub(/@BEISPIELE@/, samples); gsub(/@FORTUNES_VERSION@/, version)
      gsub(/@COPYRIGHT@/, copyright); print }' docs/QUELLEN.txt >"$work/QUELLEN.txt"
{
    printf '\nGNU General Public License, Version 2\n'
    printf '=====================================\n\n'
    cat "$gpl"
} >>"$work/QUELLEN.txt"

rm -rf "$out"
mv "$work" "$out"
echo "make-collection: $out from fortunes-de $version: $("$witz" -C "$out" liste | tail -n 1)"
