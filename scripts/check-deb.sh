#!/usr/bin/env bash
# Checks the Debian package: two builds give the same .deb byte for byte; lintian reports no error
# and no warning; its manual pages render without warnings and hyphenated words (check-man.sh);
# its AppStream metainfo and desktop entry validate; the first start's duration is the same in
# the launcher, pointex(1) and the README; unpacked into a folder, its witz shows the packaged
# collection as the build's witz shows the release collection, its completion offers the
# categories, and its launcher refuses what it must, but not a display that refused one try.
# Then a new user's first minutes: witz in a home without Witze shows the packaged jokes and
# writes nothing; every example of both manual pages runs as written, the first import making the
# user's own collection with the packaged categories; in another home, with an own collection
# made first and a Wine prefix of the other kind left over, two launchers started at once by the
# desktop entry's command, with a ~/Witze beside, complete that folder, make one Wine prefix and
# remove the old one, show the first start on the desktop within a second and open their windows
# there (the note gone with them), and Pointex shows that folder's counts (FolderCheck); pointex
# started in the home opens ~/Witze; witz's exit statuses on the user's collection, where a
# deleted category stays deleted; pointex --wine-entfernen keeps the jokes. As root with CI=true
# it also installs the package, runs the manual pages' examples on it, removes and purges it, and
# leaves the machine as it found it.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

work=$repo/build/deb-check
rm -rf "$work"
mkdir -p "$work"

started=$SECONDS
scripts/build-deb.sh
deb=$(cd dist && ls pointex_*_amd64.deb)
cp "dist/$deb" "$work/first.deb"
echo "first build: $((SECONDS - started)) s"

echo "== lintian"
# The .changes names the .deb, its debug symbols and the .buildinfo.
lintian --fail-on error,warning --tag-display-limit 0 build/deb/pointex_*.changes
echo "lintian: no errors, no warnings"

echo "== the unpacked package"
root=$work/root
dpkg-deb -x "dist/$deb" "$root"
collection=$root/usr/share/pointex
for file in usr/bin/witz usr/bin/pointex usr/libexec/pointex/win32/Pointex.exe \
    usr/libexec/pointex/win64/Pointex.exe usr/share/man/man1/witz.1.gz \
    usr/share/man/man1/pointex.1.gz usr/share/bash-completion/completions/witz \
    usr/share/applications/pointex.desktop usr/share/icons/hicolor/48x48/apps/pointex.png \
    usr/share/icons/hicolor/256x256/apps/pointex.png \
    usr/share/metainfo/example.c_seed_5cbff036.pointex.metainfo.xml \
    usr/share/doc/pointex/copyright usr/share/doc/pointex/README.md.gz; do
    [ -s "$root/$file" ] || {
        echo "FAIL: $file is not in the package" >&2
        exit 1
    }
done
file "$root/usr/libexec/pointex/win32/Pointex.exe" | grep -q 'PE32 executable (GUI) Intel 80386'
scripts/check-man.sh "$root"/usr/share/man/man1/*.1.gz
file "$root/usr/libexec/pointex/win64/Pointex.exe" | grep -q 'PE32+ executable (GUI) x86-64'
# What software centres and docks read: the metainfo with its desktop entry and icon in the
# installed tree, offline; the entry on its own.
appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/*.metainfo.xml
appstreamcli validate-tree --no-net "$root"
desktop-file-validate "$root/usr/share/applications/pointex.desktop"
# One first-start duration, as the launcher's note, pointex(1) and the README give it.
duration=$(sed -n 's/.*nur beim ersten Start (etwa \([0-9]* bis [0-9]*\) Sekunden).*/\1/p' \
    "$root/usr/bin/pointex")
if [ -z "$duration" ] || ! zgrep -q "etwa $duration Sekunden" "$root/usr/share/man/man1/pointex.1.gz" ||
    ! grep -q "takes about ${duration/ bis / to } seconds" README.md; then
    echo "FAIL: the launcher's first-start duration (${duration:-none}) is not the one of pointex(1) and the README" >&2
    exit 1
fi
# The release collection, made as the package build makes it.
scripts/make-collection.sh build/collection >/dev/null
diff -r build/collection/Witze "$collection/Witze"
for file in about version lizenz QUELLEN.txt; do
    cmp "build/collection/$file" "$collection/$file"
done

# The packaged witz against the one the tests use, on every joke of the collection.
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j "$(nproc)" --target witz >/dev/null
witz_outputs() { # witz, folder
    local list category=0 number joke
    list=$("$1" -C "$2" liste)
    printf '%s\n' "$list"
    # The count of each category, in the list's order.
    for number in $(sed -n 's/^ *[0-9]*  .*  (\([0-9]*\))$/\1/p' <<<"$list"); do
        category=$((category + 1))
        for ((joke = 1; joke <= number; joke++)); do
            "$1" -C "$2" zeige "$category" "$joke"
        done
    done
    "$1" -C "$2" suche Lehrer || echo "status $?"
    "$1" -C "$2" pruefe || echo "status $?"
}
witz_outputs build/native/witz/witz build/collection >"$work/witz-build.txt"
witz_outputs "$root/usr/bin/witz" "$collection" >"$work/witz-package.txt"
diff "$work/witz-build.txt" "$work/witz-package.txt"
echo "witz: the packaged one shows $(grep -c . "$work/witz-package.txt") lines as the build's"

# The completion, in a shell with bash-completion, offers commands and the categories of -C.
completion=$(bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"
    COMP_WORDS=(witz -C "$2" zeige Rä); COMP_CWORD=4
    COMP_LINE="${COMP_WORDS[*]}"; COMP_POINT=${#COMP_LINE}
    _witz
    printf "%s\n" "${COMPREPLY[@]}"' - "$root/usr/share/bash-completion/completions/witz" "$collection")
if [ "$completion" != "Rätsel" ]; then
    echo "FAIL: 'witz -C ... zeige Rä<Tab>' offers '$completion', not 'Rätsel'" >&2
    exit 1
fi

echo "== the launcher"
launcher=$root/usr/bin/pointex
mkdir -p "$work/Ohne Witze" "$work/Leer/Witze"
# Each refusal: arguments (split and globbed: "?" stands for a blank), wanted status, environment,
# working folder below $work.
while IFS='|' read -r arguments wanted environment folder; do
    status=0
    # shellcheck disable=SC2086 # the table's words are meant to be split
    output=$(cd "$work/$folder" &&
        env HOME="$work/home-refused" $environment "$launcher" $arguments 2>&1) || status=$?
    if [ $status -ne "$wanted" ] || [ "$(printf '%s\n' "$output" | wc -l)" -ne 1 ]; then
        echo "FAIL: pointex $arguments ($environment) gave status $status: $output" >&2
        exit 1
    fi
    echo "pointex $arguments ($environment): $status, $output"
done <<EOF
/no/such/folder|2|DISPLAY=:0|.
Ohne?Witze|2|DISPLAY=:0|.
Leer|2|DISPLAY=:0|.
|2|DISPLAY=:0|Leer
--unbekannt|2|DISPLAY=:0|.
--eigene-sammlung Leer|2|DISPLAY=:0|.
|2|DISPLAY=:0 POINTEX_WINE_ARCH=16|.
|1|DISPLAY=|.
|1|DISPLAY=:4321|.
EOF
if [ -e "$work/home-refused" ]; then
    echo "FAIL: a refused start left $work/home-refused behind" >&2
    exit 1
fi

# shellcheck source=wine-env.sh
. scripts/wine-env.sh
cleanup() {
    [ -z "${user_prefix:-}" ] || WINEPREFIX=$user_prefix wineserver -k >/dev/null 2>&1 || true
    wine_env_stop
}
trap cleanup EXIT
wine_env_build pointex_e2e >/dev/null

# A bare X server (this Xvfb) starts anew when its last client leaves and drops a client that
# connects meanwhile. Here xdpyinfo refuses its first try as such a client sees it; the launcher
# must try again and get past the check, to the program missing in a copy of it without one.
stub=$work/xdpyinfo-einmal-abgewiesen
mkdir -p "$stub/bin" "$stub/usr/bin"
cp "$launcher" "$stub/usr/bin/pointex"
cat >"$stub/bin/xdpyinfo" <<'STUB'
#!/bin/sh
[ -e "$0.versucht" ] || { : >"$0.versucht" && echo "xdpyinfo:  unable to open display" >&2 && exit 1; }
exec /usr/bin/xdpyinfo "$@"
STUB
chmod +x "$stub/bin/xdpyinfo"
status=0
output=$(cd "$work" && env HOME="$work/home-refused" PATH="$stub/bin:$PATH" \
    "$stub/usr/bin/pointex" 2>&1) || status=$?
if [ $status -ne 1 ] || [[ $output != *Pointex.exe\ fehlt* ]] || [ -e "$work/home-refused" ]; then
    echo "FAIL: a display that refused one try is taken for unreachable: status $status, $output" >&2
    exit 1
fi
echo "pointex on a display that refused one try: past the check ($output)"
if [ "$pointex_wine_arch" = 32 ]; then
    exe=$root/usr/libexec/pointex/win32/Pointex.exe
else
    exe=$root/usr/libexec/pointex/win64/Pointex.exe
fi

# The launchers choose their Wine as a user's would, unless the test command was told which
# (POINTEX_WINE_ARCH): then they get the same choice, so that the program expected is theirs.
arch_choice=()
[ -z "${POINTEX_WINE_ARCH:-}" ] || arch_choice=(POINTEX_WINE_ARCH="$POINTEX_WINE_ARCH")

home=$work/home
user=$home/.local/share/pointex
user_prefix=$user/.wine$pointex_wine_arch
mkdir -p "$home"
# The unpacked witz as the new user, in a folder below $work.
witz_user() { # folder, arguments...
    local folder=$1
    shift
    (cd "$work/$folder" && env -u WITZ_ORDNER -u XDG_DATA_HOME HOME="$home" "$root/usr/bin/witz" "$@")
}

echo "== a new user: witz before the first start of pointex"
# In a home without Witze witz reads the packaged collection, and writes nothing.
witz_user home >"$work/joke.txt"
head -n 1 "$work/joke.txt"
category=$(sed -n '1s/: [0-9]*\/[0-9]*$//p' "$work/joke.txt")
if [ -z "$category" ] || [ ! -f "$collection/Witze/$category" ] || [ -n "$(ls -A "$home")" ]; then
    echo "FAIL: witz in a new home shows no joke of the packaged collection or writes:" \
        "$(cat "$work/joke.txt"), the home holds: $(ls -A "$home")" >&2
    exit 1
fi

# Each example of a manual page ("$ " a user's command, "# " root's), run as written one after
# another in one shell as a reader would, where the page says: each must succeed and print the
# lines the page shows after it ("..." aside). Prints how many ran.
run_examples() { # page, prompt ("$" or "#"), folder, environment (NAME=VALUE or -u NAME)...
    local page=$1 prompt=$2 folder=$3
    shift 3
    # The source lines of the page's .EX blocks, groff's escapes undone ("\&..." marks output left out).
    zcat -f "$page" | sed -n '/^\.EX/,/^\.EE/{/^\.E[XE]/d;s/\\-/-/g;s/\\e/\\/g;s/\\&//g;p}' \
        >"$work/examples.txt"
    (
        set +euo pipefail
        while [ $# -gt 0 ]; do
            if [ "$1" = -u ]; then
                unset "$2"
                shift 2
            else
                export "${1?}"
                shift
            fi
        done
        cd "$folder" || exit 1
        ran=0 command="" shown="" output=""
        # The lines the page shows after the last command, each in what it printed.
        shown_lines_printed() {
            local wanted
            [ -n "$command" ] || return 0
            while IFS= read -r wanted; do
                if [ -n "$wanted" ] && [ "$wanted" != ... ] && ! grep -qxF -- "$wanted" <<<"$output"; then
                    echo "FAIL: \"$command\" did not print \"$wanted\" as ${page##*/} shows" >&2
                    return 1
                fi
            done <<<"$shown"
        }
        mapfile -t lines <"$work/examples.txt"
        for line in "${lines[@]}"; do
            case $line in
            "$prompt "*)
                shown_lines_printed || exit 1
                command=${line#"$prompt "} shown=""
                # In this shell, so that what an example exports holds for the next ones.
                eval "$command" </dev/null >"$work/example-output.txt" || {
                    echo "FAIL: the example \"$command\" of ${page##*/} ends with status $?" >&2
                    exit 1
                }
                output=$(cat "$work/example-output.txt")
                ran=$((ran + 1))
                ;;
            "$ "* | "# "*) command="" ;;
            *) [ -z "$command" ] || shown+=$line$'\n' ;;
            esac
        done
        shown_lines_printed || exit 1
        echo "$ran"
    )
}

echo "== a new user: the manual pages' examples as written, before any start of pointex"
# The unpacked package in place of the installed one: its programs first on the PATH, its
# collection where the pages name /usr/share/pointex.
examples_home=$work/home-beispiele
mkdir -p "$examples_home"
for page in witz.1.gz pointex.1.gz; do
    sed "s|/usr/share/pointex|$collection|g" <(zcat "$root/usr/share/man/man1/$page") \
        >"$work/${page%.gz}"
done
ran=$(run_examples "$work/witz.1" '$' "$examples_home" -u WITZ_ORDNER -u XDG_DATA_HOME \
    HOME="$examples_home" PATH="$root/usr/bin:$PATH")
# The import before any start made the user's own collection with every packaged category.
own=$examples_home/.local/share/pointex
diff -r -x Rätsel "$collection/Witze" "$own/Witze"
for file in about version lizenz QUELLEN.txt; do
    cmp "$collection/$file" "$own/$file"
done
cmp <(cat "$collection/Witze/Rätsel" && printf '\nWelcher Bus fuhr \xfcbers Meer?\x12Kolumbus.') \
    "$own/Witze/Rätsel"
count=$(run_examples "$work/pointex.1" '$' "$examples_home" -u XDG_DATA_HOME \
    HOME="$examples_home" PATH="$root/usr/bin:$PATH")
ran=$((ran + count))
[ ! -e "$own" ] || {
    echo "FAIL: the last example of pointex(1) left $own" >&2
    exit 1
}
echo "$ran examples of witz(1) and pointex(1) ran as written; the first import made $own"

echo "== a new user: an own collection made first, an old prefix, two menu starts at once, with a ~/Witze beside"
mkdir "$home/Witze"
printf 'Ein eigener Witz' >"$home/Witze/Eigene"
# The own collection as a user makes it by hand before any start: one category, nothing else.
# (An import into it would complete it at once; here the launcher must.)
mkdir -p "$user/Witze"
printf 'Mein Witz' >"$user/Witze/Mein"
# A prefix of the other kind, as left when wine32 came after a start under wine64.
unused_prefix=$user/.wine64
[ "$pointex_wine_arch" = 32 ] || unused_prefix=$user/.wine32
mkdir -p "$unused_prefix/drive_c"
: >"$unused_prefix/.pointex-bereit"
read -r -a menu <<<"$(sed -n 's/^Exec=//p' "$root/usr/share/applications/pointex.desktop")"
if [ "${menu[0]}" != pointex ]; then
    echo "FAIL: the desktop entry starts ${menu[*]}" >&2
    exit 1
fi
menu[0]=$launcher
launched=$SECONDS
menu_started=$(date +%s%N)
pids=()
for n in 1 2; do
    (cd "$home" && exec env -u XDG_DATA_HOME -u WINEPREFIX -u WINELOADER -u POINTEX_WINE_ARCH \
        "${arch_choice[@]}" HOME="$home" PATH=/usr/bin:/bin "${menu[@]}" >"$work/launcher-$n.log" 2>&1) &
    pids+=($!)
done

# The windows on the display whose process (by _NET_WM_PID) runs below one of the launchers, in
# the folder given.
launcher_windows() { # folder
    local id pid process found=0
    for id in $(xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) "Pointex .*/\1/p'); do
        pid=$(xprop -id "$id" _NET_WM_PID | sed -n 's/.* = \([0-9]*\)$/\1/p')
        process=$pid
        while [ -n "$process" ] && [ "$process" -gt 1 ]; do
            case " ${pids[*]} " in
            *" $process "*)
                # The window's program is the packaged one, in the user's folder.
                if [ "$(readlink -f "$(tr '\0' '\n' <"/proc/$pid/cmdline" | head -n 1)")" = "$exe" ] &&
                    [ "$(readlink "/proc/$pid/cwd")" = "$1" ]; then
                    found=$((found + 1))
                fi
                break
                ;;
            esac
            process=$(awk '{print $4}' "/proc/$process/stat" 2>/dev/null || true)
        done
    done
    echo "$found"
}
# The first start's note on the desktop (zenity's window), and when it came and went.
notes() {
    xwininfo -root -tree | grep -c '"Erster Start von Pointex"' || true
}
elapsed() {
    echo "$((($(date +%s%N) - menu_started) / 1000000)) ms"
}
note_shown="" note_gone=""
# A launcher runs as long as its window is open: one that ended has failed.
for _ in $(seq 1 1500); do
    [ -n "$note_shown" ] || [ "$(notes)" -eq 0 ] || note_shown=$(elapsed)
    [ "$(launcher_windows "$user")" -ge 2 ] && break
    kill -0 "${pids[@]}" 2>/dev/null || break
    sleep 0.2
done
windows=$(launcher_windows "$user")
echo "launchers: $windows windows of $exe in $user after $((SECONDS - launched)) s"
for _ in $(seq 1 50); do
    [ "$(notes)" -eq 0 ] && note_gone=$(elapsed) && break
    sleep 0.1
done
echo "the first start's note: shown after ${note_shown:-never}, gone after ${note_gone:-never}"
cat "$work"/launcher-*.log
if [ "$windows" -ne 2 ]; then
    echo "FAIL: the two launchers did not open their windows in the user's own folder" >&2
    exit 1
fi
# Within a second as a user sees it; a busy test machine gets twice that.
if [ -z "$note_shown" ] || [ "${note_shown% ms}" -gt 2000 ] || [ -z "$note_gone" ]; then
    echo "FAIL: the first start's note on the desktop did not come at once or did not go" >&2
    exit 1
fi
if [ "$(cat "$work"/launcher-*.log | grep -c 'Wine wird für Pointex vorbereitet')" -ne 1 ]; then
    echo "FAIL: the Wine prefix was not prepared exactly once" >&2
    exit 1
fi
# One whole copy of the collection with its sources beside the user's category, no half-made
# file left, one prefix: the old one removed, and said.
diff -r -x Mein build/collection/Witze "$user/Witze"
cmp "$user/Witze/Mein" <(printf 'Mein Witz')
cmp build/collection/QUELLEN.txt "$user/QUELLEN.txt"
if [ -n "$(find "$home" -name '.witz-import-*')" ] || [ ! -f "$user_prefix/.pointex-bereit" ] ||
    [ -e "$unused_prefix" ] || ! grep -q "$unused_prefix entfernt" "$work"/launcher-*.log; then
    echo "FAIL: the own collection made first was not completed, or the old prefix not removed and said" >&2
    exit 1
fi
echo "the user's prefix: $(du -sm "$user_prefix" | cut -f 1) MB; $unused_prefix removed"
WINEPREFIX=$user_prefix wineserver -k >/dev/null 2>&1 || true
for pid in "${pids[@]}"; do
    wait "$pid" || true
done

echo "== pointex started in the home, which holds Witze"
(cd "$home" && exec env -u XDG_DATA_HOME -u WINEPREFIX -u WINELOADER -u POINTEX_WINE_ARCH \
    "${arch_choice[@]}" HOME="$home" PATH=/usr/bin:/bin "$launcher" >"$work/launcher-home.log" 2>&1) &
pids=($!)
for _ in $(seq 1 300); do
    [ "$(launcher_windows "$home")" -ge 1 ] && break
    kill -0 "${pids[@]}" 2>/dev/null || break
    sleep 0.2
done
windows=$(launcher_windows "$home")
WINEPREFIX=$user_prefix wineserver -k >/dev/null 2>&1 || true
wait "${pids[0]}" || true
if [ "$windows" -ne 1 ]; then
    echo "FAIL: pointex in the home did not open its window on ~/Witze: $(cat "$work/launcher-home.log")" >&2
    exit 1
fi
echo "pointex in the home: its window on ~/Witze"

echo "== witz on the user's own collection: exit statuses"
printf 'Ein Witz\n' >"$work/neu.txt"
# A category the user deleted stays deleted when witz import completes the collection.
rm "$user/Witze/Bauernregeln"
printf 'a\0b' >"$work/binaer.txt"
# Each: arguments (split), wanted status; in a folder without Witze, so on the user's collection.
while IFS='|' read -r arguments wanted; do
    status=0
    # shellcheck disable=SC2086 # the table's words are meant to be split
    witz_user "Ohne Witze" $arguments >/dev/null 2>"$work/witz-err.txt" || status=$?
    if [ $status -ne "$wanted" ]; then
        echo "FAIL: witz $arguments gave status $status, not $wanted: $(cat "$work/witz-err.txt")" >&2
        exit 1
    fi
done <<TABLE
liste|0
suche Lehrer|0
suche Qxqxqxq|1
zeige Unbekannt|2
pruefe|0
import $work/neu.txt --nach Anekdoten|2
import $work/binaer.txt --nach Binaer|2
import $work/neu.txt --nach Neu|0
TABLE
cmp "$user/Witze/Neu" <(printf 'Ein Witz')
rm "$user/Witze/Neu"
if [ -e "$user/Witze/Bauernregeln" ]; then
    echo "FAIL: the deleted category Bauernregeln came back" >&2
    exit 1
fi
echo "witz: 0, 1 and 2 where its manual page says; the import went into $user"

# The packaged program on the folder the launchers filled, checked against its files.
wine_env_folder_check "$exe" "$user"

# The prefix goes, the collection stays.
cp -r "$user/Witze" "$work/Witze-vorher"
env -u XDG_DATA_HOME HOME="$home" "$launcher" --wine-entfernen
if [ -e "$user/.wine32" ] || [ -e "$user/.wine64" ] || ! diff -r "$work/Witze-vorher" "$user/Witze"; then
    echo "FAIL: pointex --wine-entfernen did not remove the prefix alone" >&2
    exit 1
fi

if [ "${CI:-}" = true ] && [ "$(id -u)" -eq 0 ]; then
    echo "== installed with apt-get, removed and purged"
    dpkg-query -W -f='${Package}\n' | sort >"$work/packages-before.txt"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./dist/$deb" >/dev/null
    witz -C /usr/share/pointex liste | tail -n 1
    # A new user's witz reads the installed collection.
    (cd "$work/Ohne Witze" && env -u WITZ_ORDNER -u XDG_DATA_HOME HOME="$work/home-installed" witz) |
        head -n 1
    # The manual pages' examples on the installed package, as a new user and as root.
    examples_home=$work/home-installed
    mkdir -p "$examples_home"
    ran=0
    for page in witz pointex; do
        count=$(run_examples "/usr/share/man/man1/$page.1.gz" '$' "$examples_home" \
            -u WITZ_ORDNER -u XDG_DATA_HOME HOME="$examples_home") || exit 1
        ran=$((ran + count))
        count=$(run_examples "/usr/share/man/man1/$page.1.gz" '#' "$examples_home" \
            DEBIAN_FRONTEND=noninteractive) || exit 1
        ran=$((ran + count))
    done
    echo "$ran examples of the installed manual pages ran as written"
    # Every file and link (not the folders), from "-rw-r--r-- root/root 947 2026-12-07 13:24 ./usr/...".
    dpkg-deb -c "dist/$deb" | sed -n 's|^[^d][^.]* \./|/|p' >"$work/files.txt"
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq pointex >/dev/null
    while IFS= read -r file; do
        if [ -e "$file" ] || [ -L "$file" ]; then
            echo "FAIL: $file is left after removing the package" >&2
            exit 1
        fi
    done <"$work/files.txt"
    # Nothing is left to purge (no configuration files), and apt no longer knows the local package.
    if dpkg-query -W pointex >/dev/null 2>&1; then
        dpkg --purge pointex >/dev/null
    fi
    dpkg-query -W -f='${Package}\n' | sort >"$work/packages-after.txt"
    added=$(comm -13 "$work/packages-before.txt" "$work/packages-after.txt")
    if [ -n "$added" ]; then
        # shellcheck disable=SC2086 # one package name a word
        DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq $added >/dev/null
    fi
    cmp "$work/packages-before.txt" <(dpkg-query -W -f='${Package}\n' | sort)
    echo "installed, removed without a file left, purged: the machine has the packages it had"
fi

echo "== a second build"
# Without the tests, which ran in the first: what is installed must not depend on them either.
second=$SECONDS
DEB_BUILD_OPTIONS=nocheck scripts/build-deb.sh
echo "second build: $((SECONDS - second)) s"
if cmp "$work/first.deb" "dist/$deb"; then
    echo "two builds: the same $deb byte for byte"
else
    echo "FAIL: two builds gave different packages" >&2
    exit 1
fi
echo "package checked in $((SECONDS - started)) s: dist/$deb"
