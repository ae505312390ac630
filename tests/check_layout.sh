#!/bin/sh
# The import pipeline (import/) turns bytes into jokes and nothing else: none of its files
# includes a header of witz/ or app/, a side of the platform seam, a system header or the
# standard library's files and streams. Prints each offending line; exits 1 when there is one.
cd "$(dirname "$0")/.." || exit 2
forbidden='#include *["<]((witz|app|about|search)/|system\.h|[a-z_/]*platform[a-z_]*\.h|[a-z_/]*file_writer[a-z_]*\.h|[a-z_/]*win32[a-z_]*\.h|windows\.h|unistd\.h|fcntl\.h|dirent\.h|sys/|cstdio|stdio\.h|fstream|iostream|filesystem)'
if grep -nE "$forbidden" import/*; then
    echo "check_layout: import/ includes the headers above" >&2
    exit 1
fi
exit 0
