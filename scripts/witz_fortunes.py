#!/usr/bin/env python3
"""Imports every fortunes-de file with witz and checks the collection it wrote against this
script's own reading of the records: the counts of `witz liste`, the text of `witz zeige` for
every record (or every n-th with --every), the hits of `witz suche` against `grep -c`, and a
clean `witz pruefe`. witz writes UTF-8 to a pipe, and witz.exe the console's code page (--encoding:
characters that code page lacks come out as "?") with CR LF line ends (--crlf)."""
import argparse
import concurrent.futures
import os
import re
import subprocess
import sys
import tempfile

# The plain forms witz writes for typographic characters.
PLAIN = {c: '"' for c in "\u201e\u201c\u201d\u201f\u00ab\u00bb"}
PLAIN.update({c: "'" for c in "\u201a\u2018\u2019\u201b\u2039\u203a"})
PLAIN.update({c: "-" for c in "\u2010\u2011\u2012\u2013\u2014\u2015\u2212"})
PLAIN.update({c: " " for c in "\u00a0\u2002\u2003\u2007\u2009\u200a\u202f"})
PLAIN["\u2026"] = "..."
PLAIN["\u20ac"] = "EUR"
# C1 control characters stand for the Windows-1252 character of their byte, where it has one.
C1 = {chr(b): bytes([b]).decode("cp1252") for b in range(0x80, 0xA0)
      if b not in (0x81, 0x8D, 0x8F, 0x90, 0x9D)}

WORDS = ["Computer", "Liebe", "ist ein", "Frau", "Gott", "Geld", "Windows", "xyzzy-nirgends"]


def records(path):
    """The non-empty records of a fortune file, as witz should store and show them."""
    data = open(path, "rb").read()
    try:
        text = "".join(C1.get(c, c) for c in data.decode("utf-8"))
    except UnicodeDecodeError:
        text = "".join(C1.get(c, c) for c in data.decode("latin-1"))
    text = text.removeprefix("\ufeff")
    lines = text.split("\n")
    if text.endswith("\n"):
        lines.pop()
    groups = [[]]
    for line in lines:
        line = line.removesuffix("\r")
        if line == "%":
            groups.append([])
        else:
            groups[-1].append(line)
    if len(groups) > 1 and not groups[0]:
        groups.pop(0)
    if groups and not groups[-1]:
        groups.pop()
    # Blank lines at a record's start and end are no part of its joke.
    for group in groups:
        while group and group[-1].strip(BLANKS) == "":
            group.pop()
        while group and group[0].strip(BLANKS) == "":
            group.pop(0)
    result = []
    filled = [g for g in groups if "\n".join(g).strip(" \t\n\u00a0") != ""]
    # A file whose records are mostly riddles ("F:" then "A:") is read as riddles.
    riddles = 2 * sum(1 for g in filled if is_riddle(g)) > len(filled)
    for group in filled:
        # Blank lines at a record's edges are no part of its joke.
        while group and group[0].strip(BLANKS) == "":
            group = group[1:]
        while group and group[-1].strip(BLANKS) == "":
            group = group[:-1]
        record = "\n".join(as_riddle(group) if riddles and is_riddle(group) else group)
        result.append("".join(PLAIN.get(c, c) for c in record))
    return result


BLANKS = " \t\u00a0\u2002\u2003\u2007\u2009\u200a\u202f"


def mark(line):
    """The mark "F" or "A" of a line that starts with "F:" or "A:" (blanks before it), or None."""
    text = line.lstrip(BLANKS)
    return text[0] if text[:2] in ("F:", "A:") else None


def is_riddle(lines):
    marks = [mark(line) for line in lines]
    return "F" in marks and "A" in marks[marks.index("F"):]


def as_riddle(lines):
    """A riddle as witz zeige shows it: blank lines, marks and indents gone, an empty line
    before each answer (a solution part)."""
    shown = []
    for line in lines:
        if line.strip(BLANKS) == "":
            continue
        text = line.lstrip(BLANKS)
        if mark(line):
            text = text[2:].lstrip(BLANKS)
        shown.append(("\n" if shown and mark(line) == "A" else "") + text)
    return shown


RETRIED = []


def run(witz, *args, retry=False):
    """With retry, runs witz once more when it failed without a word: its zeige always says
    why it fails, and under Wine a start now and then ends with status 1 and no output at all."""
    done = subprocess.run([*witz, *args], capture_output=True, check=False)
    if retry and done.returncode != 0 and not done.stdout and not done.stderr:
        RETRIED.append(args)
        done = subprocess.run([*witz, *args], capture_output=True, check=False)
    return done


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("witz", nargs="+", help="the command that runs witz")
    parser.add_argument("--source", default="/usr/share/games/fortunes/de")
    parser.add_argument("--every", type=int, default=1, help="show every n-th record only")
    parser.add_argument("--jobs", type=int, default=2, help="witz processes at once")
    parser.add_argument("--keep", help="write the collection below this folder and keep it")
    parser.add_argument("--encoding", default="utf-8", help="the encoding witz writes a pipe in")
    parser.add_argument("--crlf", action="store_true", help="witz ends lines with CR LF")
    options = parser.parse_args()
    witz = options.witz
    encoding = options.encoding
    failures = []

    def fail(text):
        failures.append(text)
        print("FAIL " + text, flush=True)

    sources = sorted(
        name for name in os.listdir(options.source)
        if os.path.isfile(os.path.join(options.source, name)) and
        not os.path.islink(os.path.join(options.source, name)) and not name.endswith(".dat"))
    expected = {name: records(os.path.join(options.source, name)) for name in sources}
    if options.keep:
        subprocess.run(["rm", "-rf", options.keep], check=True)
        os.makedirs(options.keep)
        work = options.keep
    else:
        work = tempfile.mkdtemp(prefix="witz-fortunes-")
    folder = os.path.join(work, "Witze")

    for name in sources:
        done = run(witz, "-C", work, "import", os.path.join(options.source, name), "--nach", name)
        written = re.search(rb"(\d+) Witze? geschrieben", done.stdout)
        if done.returncode != 0 or not written or int(written.group(1)) != len(expected[name]):
            fail(f"import {name}: status {done.returncode}, {done.stdout!r} {done.stderr!r}")
    print(f"imported {len(sources)} files, {sum(map(len, expected.values()))} records")

    listed = {}
    for line in run(witz, "-C", work, "liste").stdout.decode(encoding).splitlines():
        match = re.fullmatch(r"\s*\d+  (.*)  \((\d+)\)", line)
        if match:
            listed[match.group(1)] = int(match.group(2))
    for name in sources:
        if listed.get(name) != len(expected[name]):
            fail(f"liste {name}: {listed.get(name)}, own parser {len(expected[name])}")
    print(f"liste: {len(listed)} categories compared")

    def show(job):
        name, number, record = job
        done = run(witz, "-C", work, "zeige", name, str(number), retry=True)
        expected = (record + "\n").replace("\n", "\r\n" if options.crlf else "\n")
        expected = expected.encode(encoding, "replace")
        return None if done.stdout == expected else (
            f"zeige {name} {number}: status {done.returncode}, {done.stdout!r} != {expected!r}, "
            f"{done.stderr!r}")

    jobs = [(name, k + 1, record) for name in sources
            for k, record in enumerate(expected[name]) if k % options.every == 0]
    with concurrent.futures.ThreadPoolExecutor(max_workers=options.jobs) as pool:
        for problem in pool.map(show, jobs):
            if problem:
                fail(problem)
    lossy = sum(1 for _, _, record in jobs
                if record.encode(encoding, "replace").decode(encoding) != record)
    print(f"zeige: {len(jobs)} records compared ({encoding}; {lossy} with characters it lacks)")

    files = [os.path.join(folder, name) for name in sources]
    environment = dict(os.environ, LC_ALL="C")
    for word in WORDS:
        for case in ([], ["--gross-klein"]):
            grep = subprocess.run(["grep", "-c", "-F", *([] if case else ["-i"]), "-e",
                                   word.encode("latin-1"), *files],
                                  capture_output=True, env=environment, check=False)
            counts = {}
            for line in grep.stdout.decode("latin-1").splitlines():
                path, count = line.rsplit(":", 1)
                counts[os.path.basename(path)] = int(count)
            found = run(witz, "-C", work, "suche", word, *case)
            hits = {}
            for line in found.stdout.decode(encoding).splitlines():
                name = next(n for n in sources if line.startswith(n + ":"))
                hits[name] = hits.get(name, 0) + 1
            total = sum(counts.values())
            status = 0 if total > 0 else 1
            if found.returncode != status or any(hits.get(n, 0) != counts.get(n, 0)
                                                 for n in sources):
                fail(f"suche {word} {case}: status {found.returncode}, {sum(hits.values())} "
                     f"hits, grep -c {total}")
    print(f"suche: {len(WORDS) * 2} searches compared with grep -c")

    checked = run(witz, "pruefe", folder)
    if checked.returncode != 0:
        fail("pruefe: " + checked.stdout.decode(encoding))
    print("pruefe: " + checked.stdout.decode(encoding).strip().splitlines()[-1])

    if not options.keep:
        subprocess.run(["rm", "-rf", work], check=False)
    if RETRIED:
        print(f"{len(RETRIED)} silent failed starts run again: {RETRIED[:3]}")
    print(f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
