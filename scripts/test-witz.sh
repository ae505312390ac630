#!/usr/bin/env bash
# Imports Debian's fortunes-de with the native witz and checks counts, texts, search hits and
# pruefe against the script's own record parser; then does the same with the Windows console
# witz.exe under Wine (every 100th record shown), and opens the natively imported collection in
# Pointex.exe under Wine, which must list every category with the count the files hold. The
# Windows build is the 32-bit one, or the 64-bit twin where this machine cannot execute 32-bit
# programs. Arguments go to scripts/witz_fortunes.py's native run (for example --every 10).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

if [ ! -d /usr/share/games/fortunes/de ]; then
    echo "test-witz: fortunes-de is not installed (scripts/setup.sh installs it)" >&2
    exit 1
fi
collection=$repo/build/witz-fortunes
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j 2 --target witz >/dev/null
echo "== the native witz"
python3 scripts/witz_fortunes.py "$@" --keep "$collection" build/native/witz/witz

# shellcheck source=wine-env.sh
. scripts/wine-env.sh
trap wine_env_stop EXIT
wine_env_build witz Pointex pointex_e2e >/dev/null

echo "== the category order of the native witz against Wine's folder listings"
# witz liste must number categories as Pointex does under Wine. File k holds k jokes, so the
# counts witz liste prints give the order whatever the console's code page.
order=$(mktemp -d)
mkdir "$order/Witze" "$order/Ascii"
k=0
for name in beta Alpha "Zeta 2" "Zeta 10" gamma Zucker "10 Fragen" Ärger ätzend Ölfass \
    "kurz und gut" Kurz Bär BAR bar2 _unten Ähre éclair Eule a-b "a b" ab a.b; do
    k=$((k + 1))
    seq "$k" >"$order/Witze/$name"
    case $name in *[!A-Za-z0-9\ ]*) ;; *) printf 'x' >"$order/Ascii/$name" ;; esac
done
counts() { sed -n 's/^ *[0-9]*  .*  (\([0-9]*\))\r*$/\1/p'; }
build/native/witz/witz -C "$order" liste | counts >"$order/native.txt"
wine "$pointex_build/witz/witz.exe" -C "$(winepath -w "$order")" liste | counts >"$order/wine.txt"
# Wine's cmd sorts dir's output itself (punctuation first, accents beside their letters), so
# it agrees with the folder's own order for names of letters, digits and blanks.
mv "$order/Ascii" "$order/Witze-ascii"
mkdir "$order/ascii" && mv "$order/Witze-ascii" "$order/ascii/Witze"
build/native/witz/witz -C "$order/ascii" liste | sed -n 's/^ *[0-9]*  \(.*\)  ([0-9]*)$/\1/p' \
    >"$order/native-ascii.txt"
(cd "$order/ascii/Witze" && wine cmd /c dir /b) | tr -d '\r' >"$order/dir.txt"
if ! diff "$order/wine.txt" "$order/native.txt" || ! diff "$order/dir.txt" "$order/native-ascii.txt"
then
    echo "FAIL: witz liste numbers the categories in another order than Wine lists them" >&2
    rm -rf "$order"
    exit 1
fi
echo "the order of witz.exe (FindFirstFileW) for $(wc -l <"$order/native.txt") names, and of" \
    "cmd's dir for $(wc -l <"$order/dir.txt") names of letters, digits and blanks"
rm -rf "$order"

echo "== the Windows console witz.exe under Wine ($pointex_build)"
# One at a time: parallel Wine starts are flaky.
python3 scripts/witz_fortunes.py --every 100 --jobs 1 wine "$pointex_build/witz/witz.exe"

echo "== the imported collection in Pointex.exe under Wine ($pointex_build)"
wine_env_folder_check "$repo/$pointex_build/Pointex.exe" "$collection"
