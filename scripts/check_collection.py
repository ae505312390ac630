#!/usr/bin/env python3
"""Checks a release collection against its sources: every category that collection/quellen.tsv
takes from fortunes-de holds the records of its source file in their order, each with the
letters and digits it has there (less a heading that --ueberschrift weg leaves out, and a
riddle's "F:" and "A:"); a record missing from it is a drawing that --ohne-bilder leaves out or
a joke that stands earlier in the collection, which --ohne-doppelte leaves out; no joke of
fortunes-de stands twice; in the riddle categories every record that holds a question line
("F:") and after it an answer line ("A:") has solution parts (0x12); `witz liste` counts what
the files hold; every other category is one of our samples; and the whole has at least
MIN_JOKES jokes in MIN_CATEGORIES categories.

check_collection.py FOLDER SOURCE LIST WITZ...: FOLDER holds Witze, SOURCE the fortune files,
LIST is collection/quellen.tsv, WITZ... the command that runs witz. Exits 1 on a fault.
"""
import os
import re
import subprocess
import sys

MIN_JOKES = 5000
MIN_CATEGORIES = 12
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
    sets items side by side one under the other: the whole record's, or with --ueberschrift weg
    those without its first lines as well."""
    riddle = "raetsel" in options and is_riddle(record)
    lines = record.split("\n")
    cut = range(4) if "--ueberschrift weg" in options else range(1)
    return {"".join(sorted(key("\n".join(lines[k:]), riddle))) for k in cut}


def records(path):
    """The records of a fortune file that are not blank: text between lines holding only "%"."""
    text = open(path, "rb").read().decode("utf-8").removeprefix("\ufeff")
    found, current = [], []
    for line in text.split("\n"):
        if line.rstrip("\r") == "%":
            found.append(current)
            current = []
        else:
            current.append(line)
    found.append(current)
    return ["\n".join(r) for r in found if "\n".join(r).strip(" \t\r\n\u00a0")]


def compare(category, name, own, jokes, options, seen, faults):
    """Walks the source's records along the category's jokes, adding the jokes to seen (their
    keys, and their keys sorted); returns how many riddles with "F:"/"A:" it checked."""
    riddles = "raetsel" in options
    n = checked = 0
    for number, record in enumerate(own, 1):
        wanted = written(record, options)
        joke = jokes[n] if n < len(jokes) else None
        found = joke is not None and "".join(sorted(key(joke.decode("latin-1")))) in wanted
        if found:
            if riddles and is_riddle(record):
                checked += 1
                if b"\x12" not in joke:
                    faults.append(f"{category} #{n + 1}: record {number} of {name} is a riddle "
                                  "without solution parts")
            exact = key(joke.decode("latin-1"))
            if exact in seen[0]:
                faults.append(f"{category} #{n + 1}: a joke that stands earlier")
            seen[0].add(exact)
            seen[1].add("".join(sorted(exact)))
            n += 1
        elif not (("--ohne-bilder" in options and is_drawing(record)) or
                  ("--ohne-doppelte" in options and wanted & seen[1])):
            faults.append(f"{category}: record {number} of {name} is missing")
    if n != len(jokes):
        faults.append(f"{category}: {len(jokes) - n} jokes after the last record of {name}")
    return checked


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

    taken = 0
    samples = set(os.listdir("sample/Witze"))
    seen = (set(), set())
    for sample in samples:
        for joke in open(os.path.join(folder, "Witze", sample), "rb").read().split(b"\n"):
            seen[0].add(key(joke.decode("latin-1")))
            seen[1].add("".join(sorted(key(joke.decode("latin-1")))))
    for line in open(listing, encoding="utf-8"):
        if line.startswith("#") or line.startswith("Datei\t"):
            continue
        name, category, options, _ = line.rstrip("\n").split("\t")
        if category == "-":
            continue
        taken += 1
        own = records(os.path.join(source, name))
        jokes = open(os.path.join(folder, "Witze", category), "rb").read().split(b"\n")
        if listed.pop(category, None) != len(jokes):
            faults.append(f"{category}: witz liste does not say {len(jokes)}, the file's lines")
        riddles = compare(category, name, own, jokes, options, seen, faults)
        solved = sum(1 for joke in jokes if b"\x12" in joke)
        print(f"{category}: {len(jokes)} of {len(own)} records, {solved} with solution parts"
              + (f" ({riddles} riddles with F:/A:)" if riddles else ""))
    for category in listed:
        if category not in samples:
            faults.append(f"{category}: neither from {listing} nor one of our samples")
    total = sum(int(n) for n in re.findall(r"\((\d+)\)$", done.stdout.decode("utf-8"), re.M))
    if total < MIN_JOKES or len(listed) + taken < MIN_CATEGORIES:
        faults.append(f"only {total} jokes in {len(listed) + taken} categories")
    for fault in faults:
        print(f"FAIL: {fault}")
    if not faults:
        print(f"collection: {taken} categories from {source}, each with the records of its "
              f"source file, {len(listed)} of ours; {total} jokes in all")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
