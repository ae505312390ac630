#!/usr/bin/env bash
# Builds the release from scratch and writes dist/Pointex-<version>-win32.zip and dist/SHA256SUMS:
# one folder Pointex-<version>/ with Pointex.exe, witz.exe, the release collection (our sample
# categories and those scripts/make-collection.sh takes from Debian's fortunes-de), the About
# texts, QUELLEN.txt, LIESMICH.txt and the licence. The same SOURCE_DATE_EPOCH and fortunes-de
# version give the same zip byte for byte; without it the time of the last commit is taken.
set -euo pipefail
cd "$(dirname "$0")/.."

version_number() { # MAJOR, MINOR or PATCH
    sed -n "s/^#define POINTEX_VERSION_$1 \([0-9]\{1,\}\)\$/\1/p" resources/version.h
}
version="$(version_number MAJOR).$(version_number MINOR).$(version_number PATCH)"
if ! [[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
    echo "package: no version numbers found in resources/version.h" >&2
    exit 1
fi

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
fi
if ! [[ $SOURCE_DATE_EPOCH =~ ^[0-9]+$ ]]; then
    echo "package: SOURCE_DATE_EPOCH must be seconds since 1970, not '$SOURCE_DATE_EPOCH'" >&2
    exit 1
fi
# The compiler takes it for the About dialog's build stamp, the linker for the PE time stamp.
export SOURCE_DATE_EPOCH

# A fresh build: one left from an earlier run could hold another moment's stamp.
build=build/package
rm -rf "$build"
echo "== building Pointex.exe and witz.exe (32-bit) in $build at $SOURCE_DATE_EPOCH"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPOINTEX_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake >/dev/null
cmake --build "$build" -j 2 --target Pointex witz >/dev/null

name=Pointex-$version
stage=build/package-stage
folder=$stage/$name
rm -rf "$stage"
mkdir -p "$folder"
cp "$build/Pointex.exe" "$build/witz/witz.exe" "$folder/"
collection=build/collection
scripts/make-collection.sh "$collection"
cp -r "$collection/Witze" "$folder/Witze"
read -r jokes _ _ categories _ < <(build/native/witz/witz -C "$collection" liste | tail -n 1)
# Texts for Windows' editors, Notepad from XP on: CR LF line ends, and Windows-1252 ("ANSI"),
# which holds every character they use (iconv stops at one it lacks). The About texts are ISO
# 8859-1 already; Pointex reads them as text, CR LF as a line end.
windows_text() { # UTF-8 text file, target
    iconv -f UTF-8 -t WINDOWS-1252 "$1" | sed -e 's/$/\r/' >"$2"
}
sed -e "s/@VERSION@/$version/g" -e "s/@WITZE@/$jokes/g" -e "s/@KATEGORIEN@/$categories/g" \
    docs/LIESMICH.txt >"$stage/LIESMICH.txt"
windows_text "$stage/LIESMICH.txt" "$folder/LIESMICH.txt"
windows_text "$collection/QUELLEN.txt" "$folder/QUELLEN.txt"
windows_text LICENSE "$folder/LICENSE.txt"
for file in about version lizenz; do
    sed -e 's/$/\r/' "$collection/$file" >"$folder/$file"
done

mkdir -p dist
zip=$name-win32.zip
rm -f "dist/$zip" dist/SHA256SUMS
python3 scripts/package_zip.py write "$folder" "dist/$zip" "$SOURCE_DATE_EPOCH"
(cd dist && sha256sum "$zip" >SHA256SUMS)
echo "dist/$zip: $(stat -c %s "dist/$zip") bytes, SHA-256 $(cut -d' ' -f1 dist/SHA256SUMS)"
