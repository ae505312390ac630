#!/usr/bin/env bash
# Imports Debian's fortunes-de with the native witz and checks counts, texts, search hits and
# pruefe against the script's own record parser; then does the same with the Windows console
# witz.exe under Wine (every 100th record shown), and opens the natively imported collection in
# Pointex.exe under Wine, which must list every category with the count the files hold. The
# Windows build is the 32-bit one, or the 64-bit twin where this machine cannot execute 32-bit
# programs. Last, scripts/test-import-trace.sh traces the native import's file calls. Arguments
# go to scripts/witz_fortunes.py's native run (for example --every 10).
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
wine_env_build pointex_e2e >/dev/null

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
# Byte-wise: witz.exe writes a pipe in the console's code page, which is no UTF-8.
counts() { LC_ALL=C sed -n 's/^ *[0-9]*  .*  (\([0-9]*\))\r*$/\1/p'; }
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

# witz.exe writes a pipe in the console's code page, with CR LF line ends; started from here it has
# no console (chcp answers 0), and then it is the OEM code page of Wine's locale.
codepage=$(wine cmd /c chcp </dev/null | tr -dc 0-9)
if [ "${codepage:-0}" = 0 ]; then
    codepage=$(wine reg query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v OEMCP \
        </dev/null | sed -n 's/.*REG_SZ[[:space:]]*\([0-9]*\).*/\1/p')
fi
echo "== the Windows console witz.exe under Wine ($pointex_build, output in code page $codepage)"
# One at a time: parallel Wine starts are flaky.
python3 scripts/witz_fortunes.py --every 100 --jobs 1 --encoding "cp$codepage" --crlf \
    wine "$pointex_build/witz/witz.exe"

echo "== the imported collection in Pointex.exe under Wine ($pointex_build)"
wine_env_folder_check "$repo/$pointex_build/Pointex.exe" "$collection"

echo "== witz.exe with files dropped on it, and its output in code page $codepage ($pointex_build)"
drop=$(mktemp -d)
trap 'wine_env_stop; rm -rf "$drop"' EXIT
# witz.exe in a folder of its own, with a blank and an umlaut, as Explorer would start it.
exe_folder="$drop/Pointex Ä"
mkdir "$exe_folder"
cp "$pointex_build/witz/witz.exe" "$exe_folder/"
printf 'Wer weiß es?\n--\nNiemand ©.\n' >"$drop/Rätsel.txt"
printf 'Hund\n%%\nKatze\n' >"$drop/Tiere.fortune"
printf 'x\n' >"$drop/ende..txt"
drop_failures=0

drop_fail() { # text
    echo "FAIL: $1" >&2
    drop_failures=$((drop_failures + 1))
}
# Text as witz.exe writes a pipe in a code page (by default the one found above), with this
# script's own table of plain forms (witz_fortunes.py's): a character the code page lacks takes
# its plain form, else "?"; lines end with CR LF.
in_codepage() { # text [code page]
    python3 -c '
import sys
sys.path.insert(0, "scripts")
from witz_fortunes import PLAIN
codepage, text = sys.argv[1:3]
def held(c):
    try:
        return c.encode(codepage)
    except UnicodeEncodeError:
        return PLAIN.get(c, "?").encode(codepage)
sys.stdout.buffer.write(b"".join(held(c) for c in text.replace("\n", "\r\n")))
' "cp${2:-$codepage}" "$1"
}
witz_exe() { # arguments...: runs witz.exe in $drop; $status and $drop/out (both streams) tell
    status=0
    (cd "$drop" && wine "$exe_folder/witz.exe" "$@" >out 2>&1 </dev/null) || status=$?
}
win() { winepath -w "$1"; }

# Each file goes to the category of its name beside witz.exe. Reports go to standard output and
# refusals to standard error, yet in one window each file's lines come together and in order,
# then the number taken, and the status says that some were. The console is not witz.exe's own
# here, so it does not wait for Enter.
witz_exe "$(win "$drop/Rätsel.txt")" "$(win "$drop/ende..txt")" "$(win "$drop/Tiere.fortune")"
report="0 leere Einträge übersprungen, 0 Zeichen ersetzt (0 in schlichter Form, 0 durch \"?\")."
[ $status = 1 ] || drop_fail "drop: exit status $status, not 1"
# witz's own quotation marks come as plain ones in an OEM code page.
cmp -s "$drop/out" <(in_codepage "Rätsel.txt: Witze\\Rätsel: 1 Witz geschrieben, $report Gelesen: Rätsel.txt als Text in Absätzen in UTF-8.
ende..txt: \"ende.\" taugt nicht als Kategorie: Ein Dateiname darf unter Windows nicht auf Leerzeichen oder Punkt enden.
ende..txt: Benenne die Datei um und ziehe sie noch einmal auf witz.exe.
Tiere.fortune: Witze\\Tiere: 2 Witze geschrieben, $report Gelesen: Tiere.fortune als Fortune-Datei in UTF-8.
2 von 3 Dateien übernommen.
Pointex zeigt die Kategorien „Rätsel“ und „Tiere“ ab seinem nächsten Start.
") || drop_fail "drop: the reports: $(cat "$drop/out")"
if [ "$(ls "$exe_folder/Witze" | paste -sd,)" != "Rätsel,Tiere" ] ||
    ! cmp -s "$exe_folder/Witze/Rätsel" <(printf 'Wer wei\xdf es?\x12Niemand \xa9.') ||
    ! cmp -s "$exe_folder/Witze/Tiere" <(printf 'Hund\nKatze'); then
    drop_fail "drop: the categories beside witz.exe: $(ls "$exe_folder/Witze")"
fi

# An existing category, a folder and a path that is gone: none taken. For the category, the
# command to append it, with the real paths of witz.exe and the file, which does it when typed.
witz_exe "$(win "$drop/Tiere.fortune")" "$(win "$exe_folder")" "$(win "$drop")\\weg.txt"
[ $status = 2 ] || drop_fail "drop of what cannot be taken: exit status $status, not 2"
command="\"$(win "$exe_folder/witz.exe")\" -C \"$(win "$exe_folder")\" import \"$(win "$drop/Tiere.fortune")\" --nach \"Tiere\""
cmp -s "$drop/out" <(in_codepage "Tiere.fortune: Die Kategorie \"Tiere\" gibt es schon.
Tiere.fortune: Für eine neue Kategorie benenne die Datei um und ziehe sie noch einmal auf witz.exe. Zum Anhängen gib in der Eingabeaufforderung (cmd) ein:
    $command --anhaengen
Tiere.fortune: Zum Ersetzen der Kategorie dasselbe mit --ersetzen-datei statt --anhaengen.
Pointex Ä: Das ist ein Ordner; auf witz.exe lassen sich nur Dateien ziehen.
weg.txt: Nicht gefunden; auf witz.exe lassen sich nur Dateien ziehen.
0 von 3 Dateien übernommen.
") || drop_fail "drop of what cannot be taken: $(cat "$drop/out")"
# Typed into cmd: the line as a batch file, which cmd reads in the code page witz.exe wrote.
sed -n 3p "$drop/out" >"$drop/angehaengt.bat"
status=0
(cd "$drop" && wine cmd /c angehaengt.bat >out 2>&1 </dev/null) || status=$?
if [ $status != 0 ] || ! cmp -s "$exe_folder/Witze/Tiere" <(printf 'Hund\nKatze\nHund\nKatze'); then
    drop_fail "the advised command: status $status, $(cat "$drop/out")"
fi

# Redirected, a joke's umlauts come in the code page; a name in other letter case finds it.
for name in Rätsel rÄTSEL; do
    witz_exe -C "$exe_folder" "$name" 1
    if [ $status != 0 ] || ! cmp -s "$drop/out" <(in_codepage $'Wer weiß es?\n\nNiemand ©.\n'); then
        drop_fail "$name 1: status $status, $(od -An -c "$drop/out")"
    fi
done

# No drop: a relative name (an unknown command), a file after a command; and no argument at
# all, where witz.exe shows a joke and, not owning the console, does not wait.
for args in "Tiere.fortune" "liste|$(winepath -w "$drop/Tiere.fortune")"; do
    IFS='|' read -r -a list <<<"$args"
    witz_exe "${list[@]}"
    [ $status = 2 ] || drop_fail "no drop: $args: exit status $status, not 2"
done
status=0
(cd "$exe_folder" && wine ./witz.exe >"$drop/out" 2>&1 </dev/null) || status=$?
if [ $status != 0 ] || grep -qa "Eingabetaste" "$drop/out" ||
    ! tr -d '\r' <"$drop/out" | grep -qaxE "Tiere: [1-4]/4|$(in_codepage "Rätsel: 1/1")"; then
    drop_fail "no arguments: status $status, $(cat "$drop/out")"
fi
[ "$(ls "$exe_folder/Witze" | paste -sd,)" = "Rätsel,Tiere" ] ||
    drop_fail "no drop, yet the categories changed: $(ls "$exe_folder/Witze")"
# A dropped file of "F:"/"A:" pairs becomes riddles, though no --format could be given.
printf 'F: Was ist gr\xc3\xbcn und klopft an die T\xc3\xbcr?\r\nA: Ein Klopfsalat.\r\nF: Was ist braun?\r\nA: Ein Tarzipan.\r\n' >"$drop/Fragen.txt"
witz_exe "$(winepath -w "$drop/Fragen.txt")"
if [ $status != 0 ] || ! grep -qa "Fragen.txt als $(in_codepage "Rätsel") in UTF-8" "$drop/out" ||
    ! cmp -s "$exe_folder/Witze/Fragen" \
        <(printf 'Was ist gr\xfcn und klopft an die T\xfcr?\x12Ein Klopfsalat.\nWas ist braun?\x12Ein Tarzipan.'); then
    drop_fail "drop of riddles: status $status, $(cat "$drop/out" "$drop/err")"
fi
[ $drop_failures = 0 ] || exit 1
echo "dropped files, folders and gone paths, the advised command, redirected output, names in" \
    "other case, starts that are no drop: as expected"

echo "== witz.exe in consoles of code page 850 and 1252, its output redirected ($pointex_build)"
# wineconsole gives witz.exe a console whose code page chcp sets. Redirected, witz.exe writes only
# what that code page holds, the plain forms for the rest (never "?" for a character of the
# text), with CR LF line ends; "/?" shows the help, and a system error comes in German words.
console=$(mktemp -d)
trap 'wine_env_stop; rm -rf "$drop" "$console"' EXIT
console_failures=0
# Wine passes a quote inside cmd's command line on as \", which cmd does not take: the paths here
# hold no blanks and go without quotes.
witz_console() { # code page, output file in $console, arguments...
    local page=$1 out=$2
    shift 2
    (cd "$console" && wine wineconsole cmd /c \
        "chcp $page >nul & $(winepath -w "$repo/$pointex_build/witz/witz.exe") $* >$out 2>&1" \
        </dev/null >/dev/null 2>&1) || true
}
build/native/witz/witz import --help >"$console/help.txt"
missing=$(winepath -w "$console")\\fehlt.txt
for page in 850 1252; do
    witz_console $page import.$page import --help
    witz_console $page slash.$page /?
    witz_console $page help.$page --help
    witz_console $page missing.$page import "$missing" --nach Neu
    if ! cmp -s "$console/import.$page" <(in_codepage "$(cat "$console/help.txt")
" $page); then
        echo "FAIL: import --help in code page $page:" >&2
        diff <(in_codepage "$(cat "$console/help.txt")
" $page | od -c) <(od -c "$console/import.$page") | head -20 >&2
        console_failures=$((console_failures + 1))
    fi
    if [ ! -s "$console/slash.$page" ] || ! cmp -s "$console/slash.$page" "$console/help.$page"; then
        echo "FAIL: /? in code page $page: $(head -c 300 "$console/slash.$page")" >&2
        console_failures=$((console_failures + 1))
    fi
    if ! cmp -s "$console/missing.$page" <(in_codepage "witz: Kann „$missing“ nicht lesen: nicht gefunden. Nichts geschrieben.
" $page); then
        echo "FAIL: a missing source in code page $page: $(cat "$console/missing.$page")" >&2
        console_failures=$((console_failures + 1))
    fi
done
[ $console_failures = 0 ] || exit 1
echo "import --help ($(wc -l <"$console/import.850") lines), /? and a missing file: the characters" \
    "of code pages 850 and 1252, plain forms for the rest, CR LF line ends"

echo "== the native witz import under strace: nothing written in Witze but by the final rename"
scripts/test-import-trace.sh "$repo/build/native/witz/witz"
