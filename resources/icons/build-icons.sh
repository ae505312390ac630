#!/usr/bin/env bash
# Renders the MVG drawings in this folder into the program's .ico files (needs imagemagick and icoutils).
# With --png FOLDER it writes only the program icon as PNGs (pointex-16.png ... pointex-256.png)
# into that folder, for the Linux desktop and its software centres, and leaves the .ico files
# alone.
#
# Each drawing is rendered large and then box-averaged down with -scale, so that edges on
# whole pixel coordinates come out sharp at 16 x 16 and curves still get smooth edges.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# /usr/local/bin may hold a stand-in; the real ImageMagick lives in /usr/bin.
convert=/usr/bin/convert
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# render <drawing> <drawn size> <pixel size> <png>
render() {
    local density=$((96 * 16 * $3 / $2))
    "$convert" -density "$density" -background none "mvg:$here/$1" -scale "$3x$3" "PNG32:$4"
}

if [ "${1:-}" = --png ]; then
    mkdir -p "$2"
    for size in 16 32 48 64 128 256; do
        if [ "$size" = 16 ]; then
            render app-16.mvg 16 16 "$work/app.png"
        else
            render app.mvg 128 "$size" "$work/app.png"
        fi
        # Without the time chunks ImageMagick adds, the same drawing gives the same bytes.
        "$convert" "$work/app.png" -define png:exclude-chunks=date,time "PNG32:$2/pointex-$size.png"
    done
    exit 0
fi

render app-16.mvg 16 16 "$work/app-16.png"
for size in 32 64 128; do
    render app.mvg 128 "$size" "$work/app-$size.png"
done
icotool -c -o "$here/app.ico" "$work"/app-{16,32,64,128}.png

for name in previous next random-joke random-category-joke random-category search solve; do
    render "$name.mvg" 16 16 "$work/$name.png"
    icotool -c -o "$here/$name.ico" "$work/$name.png"
done
icotool -l "$here"/*.ico
