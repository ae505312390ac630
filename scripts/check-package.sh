#!/usr/bin/env bash
# Checks the release package: two builds at one moment give the same zip byte for byte; the zip
# holds every entry below one folder, safe names, a PE32 GUI Pointex.exe, texts that Notepad
# shows as written (CR LF, Windows-1252, each the text of its source as Python decodes it); unpacked
# into a folder whose path has blanks and umlauts, it holds our sample categories unchanged,
# programs without debug sections and within their sizes, and each category taken from
# fortunes-de as many jokes as this check counts records in its source (riddles with their
# solution parts), clean for witz pruefe; and the program started there under Wine shows every
# category with its count, reveals a riddle's solution with "Lösen" and shows the About dialog's
# three texts.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
work=build/package-check
rm -rf "$work"
mkdir -p "$work"

scripts/package.sh
zip=$(awk '{print $2}' dist/SHA256SUMS)
top=${zip%-win32.zip}
cp "dist/$zip" "$work/first.zip"
scripts/package.sh
if cmp "$work/first.zip" "dist/$zip"; then
    echo "two builds at $SOURCE_DATE_EPOCH: the same zip byte for byte"
else
    echo "FAIL: two builds at $SOURCE_DATE_EPOCH gave different zips" >&2
    exit 1
fi
(cd dist && sha256sum --check --quiet SHA256SUMS)

wanted=(Pointex.exe witz.exe Witze/ about version lizenz LIESMICH.txt QUELLEN.txt LICENSE.txt)
for file in sample/Witze/*; do
    wanted+=("Witze/${file##*/}")
done
while IFS=$'\t' read -r _ category _; do
    [ "$category" = - ] || wanted+=("Witze/$category")
done < <(grep -v '^#' collection/quellen.tsv | tail -n +2)
python3 scripts/package_zip.py check "dist/$zip" "$top" "${wanted[@]}"

# A listed file missing from fortunes-de stops the collection with its name, writing nothing.
partial=$work/fortunes-de-ohne-elefanten
mkdir -p "$partial"
find /usr/share/games/fortunes/de -maxdepth 1 -type f ! -name elefanten -exec cp -t "$partial" {} +
if POINTEX_FORTUNES_DE=$partial scripts/make-collection.sh "$work/partial" 2>"$work/partial.err" ||
    ! grep -q ': elefanten$' "$work/partial.err" || [ -e "$work/partial" ]; then
    cat "$work/partial.err" >&2
    echo "FAIL: a collection without fortunes-de's elefanten did not stop naming it" >&2
    exit 1
fi
echo "without fortunes-de's elefanten: $(cat "$work/partial.err")"

# Unpacked by another implementation than the one that wrote it.
unpacked="$repo/$work/Entpackt für Jürgen/Gäste Ordner"
mkdir -p "$unpacked"
unzip -q "dist/$zip" -d "$unpacked"
folder=$unpacked/$top
for file in sample/Witze/*; do
    cmp "$file" "$folder/Witze/${file##*/}"
done
for file in about version; do
    cmp "sample/$file" <(tr -d '\r' <"$folder/$file")
done
# The programs as they ship: without debug sections, no larger than their limits.
for file in Pointex.exe witz.exe; do
    python3 tests/resources/check_exe.py stripped i686-w64-mingw32-objdump "$folder/$file"
done
# The texts as Notepad reads them ("ANSI": Windows-1252, decoded by Python, not by the iconv
# that wrote them) say what their sources say; LIESMICH with the counts filled in.
python3 - "$folder" "$(build/native/witz/witz -C "$folder" liste | tail -n 1)" <<'EOF'
import re
import sys

folder, summary = sys.argv[1], sys.argv[2].split()
sources = {
    "LIESMICH.txt": "docs/LIESMICH.txt",
    "QUELLEN.txt": "build/collection/QUELLEN.txt",
    "LICENSE.txt": "LICENSE",
}
for name, source in sources.items():
    shown = open(f"{folder}/{name}", "rb").read().decode("cp1252").replace("\r\n", "\n")
    text = open(source, encoding="utf-8").read()
    text = text.replace("@WITZE@", summary[0]).replace("@KATEGORIEN@", summary[3])
    text = re.sub("@VERSION@", folder.rsplit("Pointex-", 1)[1], text)
    if shown != text:
        sys.exit(f"FAIL: {name} in the zip does not read in Notepad as {source} says")
print("LIESMICH.txt, QUELLEN.txt and LICENSE.txt read in Windows-1252 as their sources say")
EOF
python3 scripts/check_collection.py "$folder" /usr/share/games/fortunes/de collection/quellen.tsv \
    build/native/witz/witz
build/native/witz/witz pruefe "$folder/Witze"
if ! grep -q 'MIT License' "$folder/lizenz" ||
    ! grep -q 'GNU General Public License, Version 2' "$folder/lizenz"; then
    echo "FAIL: the About dialog's lizenz does not name the MIT licence and the GPL-2" >&2
    exit 1
fi

# shellcheck source=wine-env.sh
. scripts/wine-env.sh
trap wine_env_stop EXIT
wine_env_build pointex_e2e >/dev/null
if [ "$pointex_wine_arch" = 64 ]; then
    cp "$pointex_build/Pointex.exe" "$folder/Pointex.exe"
    echo "run-check: the 64-bit twin ($pointex_build/Pointex.exe) in place of Pointex.exe in the unpacked folder, as $pointex_wine_reason"
fi
wine_env_folder_check "$folder/Pointex.exe" "$folder"
echo "package checked: dist/$zip, $(stat -c %s "dist/$zip") bytes, SHA-256 $(cut -d' ' -f1 dist/SHA256SUMS)"
