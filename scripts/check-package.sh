#!/usr/bin/env bash
# Checks the release package: two builds at one moment give the same zip byte for byte; the zip
# holds every entry below one folder, safe names, a PE32 GUI Pointex.exe; and unpacked into a
# folder whose path has blanks and umlauts, the program started there under Wine shows the sample
# categories with their counts and the About dialog's three texts.
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

wanted=(Pointex.exe witz.exe Witze/ about version lizenz LIESMICH.txt LICENSE.txt)
for file in sample/Witze/*; do
    wanted+=("Witze/${file##*/}")
done
python3 scripts/package_zip.py check "dist/$zip" "$top" "${wanted[@]}"

# Unpacked by another implementation than the one that wrote it.
unpacked="$repo/$work/Entpackt für Jürgen/Gäste Ordner"
mkdir -p "$unpacked"
unzip -q "dist/$zip" -d "$unpacked"
folder=$unpacked/$top
diff -r sample/Witze "$folder/Witze"
for file in about version lizenz; do
    cmp "sample/$file" "$folder/$file"
done

# shellcheck source=wine-env.sh
. scripts/wine-env.sh
trap wine_env_stop EXIT
wine_env_build Pointex pointex_e2e >/dev/null
if [ "$pointex_wine_arch" = 64 ]; then
    cp "$pointex_build/Pointex.exe" "$folder/Pointex.exe"
    echo "run-check: the 64-bit twin ($pointex_build/Pointex.exe) in place of Pointex.exe in the unpacked folder, as $pointex_wine_reason"
fi
wine_env_folder_check "$folder/Pointex.exe" "$folder"
echo "package checked: dist/$zip, $(stat -c %s "dist/$zip") bytes, SHA-256 $(cut -d' ' -f1 dist/SHA256SUMS)"
