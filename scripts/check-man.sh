#!/usr/bin/env bash
# Checks manual pages (by default packaging/witz.1 and packaging/pointex.1; .gz files too) as
# man shows them: groff with all warnings for UTF-8 and, transliterated as man does in the C
# locale, for ASCII; man itself in the C locale; lexgrog's reading of the NAME line; and at 60,
# 80 and 100 columns no word broken at a line end where the page has no hyphen.
set -euo pipefail
cd "$(dirname "$0")/.."

pages=("$@")
[ ${#pages[@]} -gt 0 ] || pages=(packaging/witz.1 packaging/pointex.1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

for page in "${pages[@]}"; do
    source=$work/$(basename "${page%.gz}")
    if [[ $page == *.gz ]]; then
        gzip -dc "$page" >"$source"
    else
        cp "$page" "$source"
    fi
    warnings=$(groff -k -ww -man -Tutf8 "$source" 2>&1 >/dev/null) ||
        fail "$page: groff -Tutf8 failed"
    [ -z "$warnings" ] || fail "$page: groff -Tutf8 warns: $warnings"
    warnings=$(iconv -f UTF-8 -t ASCII//TRANSLIT "$source" | groff -ww -man -Tascii 2>&1 >/dev/null) ||
        fail "$page: groff -Tascii failed"
    [ -z "$warnings" ] || fail "$page: groff -Tascii warns: $warnings"
    warnings=$(LC_ALL=C MANWIDTH=80 man -l "$source" 2>&1 >/dev/null) || fail "$page: man failed"
    [ -z "$warnings" ] || fail "$page: LC_ALL=C man warns: $warnings"
    lexgrog "$source" >/dev/null || fail "$page: lexgrog finds no NAME line"
    for width in 60 80 100; do
        LC_ALL=C.UTF-8 MANWIDTH=$width man -l "$source" 2>/dev/null >"$work/shown-$width.txt"
    done
    # A line that ends in a hyphen after a letter, and the next line's first word, must join
    # into text the page has: an explicit hyphen ("Byte-" "Order-Mark"), not one groff made.
    broken=$(python3 - "$source" "$work"/shown-*.txt <<'EOF'
import re
import sys

page = open(sys.argv[1], encoding="utf-8").read()
page = re.sub(r"\\f[BIRP]|\\&|\\%", "", page).replace("\\-", "-")
page = " ".join(page.split())
for shown in sys.argv[2:]:
    lines = open(shown, encoding="utf-8").read().replace("\u2010", "-").splitlines()
    for line, following in zip(lines, lines[1:]):
        if not re.search(r"\w-$", line) or not following.split():
            continue
        end = line.split()[-1]
        joined = end + following.split()[0]
        if end + " " not in page and not re.search(re.escape(joined.rstrip(".,;:)")), page):
            print(f"{end!r} / {following.split()[0]!r}")
EOF
)
    [ -z "$broken" ] || fail "$page: words hyphenated at line ends: $(echo "$broken" | sort -u | paste -sd' ')"
done

if [ $failures -gt 0 ]; then
    exit 1
fi
echo "manual pages checked: ${pages[*]}"
