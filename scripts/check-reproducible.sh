#!/usr/bin/env bash
# Builds Pointex.exe twice from scratch at one fixed moment and checks that both executables are
# identical byte for byte and carry that moment as the About dialog's build stamp.
set -euo pipefail
cd "$(dirname "$0")/.."

# 2009-09-04 13:47:15 UTC unless the caller fixes another moment.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-1252072035}
# The compiler writes the moment in UTC, the day padded with a blank: "Sep  4 2009", "13:47:15".
stamp_date=$(LC_ALL=C date -u -d "@$SOURCE_DATE_EPOCH" '+%b %e %Y')
stamp_time=$(LC_ALL=C date -u -d "@$SOURCE_DATE_EPOCH" '+%H:%M:%S')

folders=(build/reproducible-a build/reproducible-b)
for folder in "${folders[@]}"; do
    rm -rf "$folder"
    echo "== building $folder"
    cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPOINTEX_TESTS=OFF \
        -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake >/dev/null
    cmake --build "$folder" -j 2 --target Pointex >/dev/null
done

first=${folders[0]}/Pointex.exe
second=${folders[1]}/Pointex.exe
status=0
if cmp "$first" "$second"; then
    echo "identical: $(sha256sum "$first" | cut -d' ' -f1)"
else
    echo "FAIL: the two builds differ ($(cmp -l "$first" "$second" | wc -l) bytes)" >&2
    status=1
fi
# The About dialog's stamp, as 8-bit or as UTF-16 text; a stamp the compiler folded into
# instructions cannot be found this way.
for text in "$stamp_date" "$stamp_time"; do
    if { strings -a -n 8 "$first"; strings -a -el -n 8 "$first"; } | grep -qF "$text"; then
        echo "stamp \"$text\" found"
    else
        echo "FAIL: the stamp \"$text\" is not in $first as text" >&2
        status=1
    fi
done
# The linker takes SOURCE_DATE_EPOCH for the PE header's time stamp (at e_lfanew + 8).
header=$(od -An -tu4 -j 60 -N 4 "$first" | tr -d ' ')
linked=$(od -An -tu4 -j $((header + 8)) -N 4 "$first" | tr -d ' ')
if [ "$linked" = "$SOURCE_DATE_EPOCH" ]; then
    echo "PE time stamp $linked"
else
    echo "FAIL: the PE time stamp is $linked, not $SOURCE_DATE_EPOCH" >&2
    status=1
fi
exit $status
