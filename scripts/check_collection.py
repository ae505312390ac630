#!/usr/bin/env python3
"""Checks a release collection against its sources and holds its goals: every category that
collection/quellen.tsv fills from fortunes-de holds the records its rows name (a whole file, or
some records; collection/korrekturen.tsv applied, scripts/collection_sources.py reads both) in
their order, each with the letters and digits it has there (less a heading or a lead-in that
--ueberschrift weg leaves out, a riddle's "F:" and "A:", and an "A:" that --fragen drops); a
record missing from it is a drawing that --ohne-bilder leaves out or a joke that stands earlier
in the collection, which --ohne-doppelte leaves out; no joke of fortunes-de stands twice; in the
riddle categories every record that holds a question line ("F:") and after it an answer line
("A:") has solution parts (0x12); `witz liste` counts what the files hold; every other category
is one of our samples; every record left out by a row is named in QUELLEN.txt with its reason.
The goals, counted by scripts/collection_stats.py: at least MIN_JOKES jokes in MIN_CATEGORIES
categories, at most MAX_MID_SENTENCE jokes broken in mid-sentence, MAX_RIDDLE_FORMS riddles
without a solution part, no indented line (a quotation's source aside) and no duplicate.

check_collection.py FOLDER SOURCE LIST WITZ...: FOLDER holds Witze and QUELLEN.txt, SOURCE the
fortune files, LIST is collection/quellen.tsv (collection/korrekturen.tsv beside it), WITZ... the
command that runs witz. Exits 1 on a fault.
"""
import os
import re
import subprocess
import sys

import collection_sources
import collection_stats

MIN_JOKES = 5000
MIN_CATEGORIES = 12
MAX_MID_SENTENCE = 3
MAX_RIDDLE_FORMS = 5
DRAWN = set("|/\\_-=+*#<>^~")


def is_riddle(record):
    """A question line ("F:") and after it an answer line ("A:"), blanks before the marks."""
    marks = [line.lstrip(" \t\u00a0")[:2] for line in record.split("\n")]
    return "F:" in marks and "A:" in marks[marks.index("F:"):]


def is_drawing(record):
    """Two lines drawn more than written, one of them with | or \\ or a / at - or _."""
    def drawn(line):
        drawing = sum(1 for c in line if c in DRAWN)
        letters = sum(1 for c in line if c.isalnum())
        return "://" not in line and drawing >= 2 and drawing >= letters
    lines = [line for line in record.split("\n") if drawn(line)]
    return len(lines) >= 2 and any(set("|\\") & set(line) or "/-" in line or "/_" in line
                                   for line in lines)


def key(text, riddle=False):
    """The letters and digits of a text, case aside; a riddle's marks do not count."""
    if riddle:
        text = re.sub(r"(?m)^[ \t\u00a0]*[FA]:", "", text)
    return "".join(c for c in text.lower() if c.isalnum())


def written(record, options):
    """The letters and digits the record may have in the category, sorted, since --spalten
    sets items side by side one under the other: the whole record's, with --ueberschrift weg
    those without its first lines or its lead-in ("Sprachlexikon-Namen: ") as well, and with
    --fragen those without an answer's "A:"."""
    riddle = "raetsel" in options and is_riddle(record)
    texts = [record]
    if "--fragen" in options:
        texts.append(re.sub(r"(?m)^[ \t\u00a0]*A:", "", record))
    lines = record.split("\n")
    if "--ueberschrift weg" in options:
        texts += ["\n".join(lines[k:]) for k in range(1, 4)]
        texts.append(re.sub(r"^[ \t]*[^\n:]{1,30}: ", "", record))
    return {"".join(sorted(key(text, riddle))) for text in texts}


def compare(category, row, jokes, start, seen, faults):
    """Walks the row's records along the category's jokes from start, adding the jokes to seen
    (their keys, and their keys sorted); returns where the next row goes on and how many riddles
    with "F:"/"A:" it checked."""
    options = row.options
    riddles = "raetsel" in options
    n, checked = start, 0
    for number, record in row.records:
        if not record.strip(" \t\r\n\u00a0"):
            continue
        wanted = written(record, options)
        joke = jokes[n] if n < len(jokes) else None
        found = joke is not None and "".join(sorted(key(joke.decode("latin-1")))) in wanted
        if found:
            if riddles and is_riddle(record):
                checked += 1
                if b"\x12" not in joke:
                    faults.append(f"{category} #{n + 1}: record {number} of {row.file} is a "
                                  "riddle without solution parts")
            exact = key(joke.decode("latin-1"))
            if exact in seen[0]:
                faults.append(f"{category} #{n + 1}: a joke that stands earlier")
            seen[0].add(exact)
            seen[1].add("".join(sorted(exact)))
            n += 1
        elif not (("--ohne-bilder" in options and is_drawing(record)) or
                  ("--ohne-doppelte" in options and wanted & seen[1])):
            faults.append(f"{category}: record {number} of {row.file} is missing")
    return n, checked


def goals(folder, faults):
    """The goals the collection's counts must reach."""
    found = collection_stats.count(collection_stats.read(folder))
    kinds = found["kinds"]
    for kind, most in (("mid-sentence breaks", MAX_MID_SENTENCE),
                       ("riddle forms without a solution part", MAX_RIDDLE_FORMS),
                       ("indented lines", 0)):
        if len(kinds[kind]) > most:
            faults.append(f"{len(kinds[kind])} jokes with {kind}, more than {most}: "
                          + ", ".join(kinds[kind][:10]))
    copies = sum(len(places) - 1 for places in found["duplicates"])
    if copies:
        faults.append(f"{copies} duplicates: "
                      + "; ".join(" = ".join(p) for p in found["duplicates"][:5]))
    return found


def main():
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    folder, source, listing, witz = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    faults = []
    listed = {}
    done = subprocess.run([*witz, "-C", folder, "liste"], capture_output=True, check=True)
    for line in done.stdout.decode("utf-8").splitlines():
        match = re.fullmatch(r"\s*\d+  (.*)  \((\d+)\)", line)
        if match:
            listed[match.group(1)] = int(match.group(2))

    corrections = os.path.join(os.path.dirname(listing), "korrekturen.tsv")
    try:
        rows = collection_sources.plan(source, listing, corrections)
    except collection_sources.Misfit as fault:
        print(f"FAIL: {fault}")
        return 1
    samples = set(os.listdir("sample/Witze"))
    seen = (set(), set())
    for sample in samples:
        for joke in open(os.path.join(folder, "Witze", sample), "rb").read().split(b"\n"):
            seen[0].add(key(joke.decode("latin-1")))
            seen[1].add("".join(sorted(key(joke.decode("latin-1")))))
    # UTF-8 as make-collection.sh writes it, Windows-1252 as the zip holds it for Notepad.
    raw = open(os.path.join(folder, "QUELLEN.txt"), "rb").read()
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError:
        text = raw.decode("cp1252")
    sources = " ".join(text.split())
    categories = {}
    for row in rows:
        if row.category == "-":
            if row.numbers is not None and " ".join(row.label().split()) not in sources:
                faults.append(f"QUELLEN.txt does not name {row.label()}, which is left out")
            continue
        categories.setdefault(row.category, []).append(row)
    for category, own in categories.items():
        jokes = open(os.path.join(folder, "Witze", category), "rb").read().split(b"\n")
        if listed.pop(category, None) != len(jokes):
            faults.append(f"{category}: witz liste does not say {len(jokes)}, the file's lines")
        n = riddles = 0
        for row in own:
            n, checked = compare(category, row, jokes, n, seen, faults)
            riddles += checked
        if n != len(jokes):
            faults.append(f"{category}: {len(jokes) - n} jokes after the last record of "
                          + ", ".join(row.label() for row in own))
        records = sum(len(row.records) for row in own)
        solved = sum(1 for joke in jokes if b"\x12" in joke)
        print(f"{category}: {len(jokes)} of {records} records, {solved} with solution parts"
              + (f" ({riddles} riddles with F:/A:)" if riddles else ""))
    taken = len(categories)
    for category in listed:
        if category not in samples:
            faults.append(f"{category}: neither from {listing} nor one of our samples")
    total = sum(int(n) for n in re.findall(r"\((\d+)\)$", done.stdout.decode("utf-8"), re.M))
    if total < MIN_JOKES or len(listed) + taken < MIN_CATEGORIES:
        faults.append(f"only {total} jokes in {len(listed) + taken} categories")
    found = goals(folder, faults)
    for fault in faults:
        print(f"FAIL: {fault}")
    if not faults:
        kinds = found["kinds"]
        print(f"collection: {taken} categories from {source}, each with the records its rows "
              f"name, {len(listed)} of ours; {total} jokes in all; "
              f"{len(kinds['mid-sentence breaks'])} broken in mid-sentence, "
              f"{len(kinds['riddle forms without a solution part'])} riddles shown at once, "
              f"no indented line, no duplicate")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
