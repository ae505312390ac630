#!/usr/bin/env python3
"""Checks a release collection against its sources: every category that collection/quellen.tsv
takes from fortunes-de holds as many jokes as this script counts records in the source file, as
`witz liste` reports them; the riddle categories hold a joke with solution parts (0x12) for
every record that holds a question line ("F:") and after it an answer line ("A:"); every other category is one of our samples; and the whole
has at least MIN_JOKES jokes in MIN_CATEGORIES categories.

check_collection.py FOLDER SOURCE LIST WITZ...: FOLDER holds Witze, SOURCE the fortune files,
LIST is collection/quellen.tsv, WITZ... the command that runs witz. Exits 1 on a fault.
"""
import os
import re
import subprocess
import sys

MIN_JOKES = 3000
MIN_CATEGORIES = 12



def is_riddle(record):
    """A question line ("F:") and after it an answer line ("A:"), blanks before the marks."""
    marks = [line.lstrip(" \t\u00a0")[:2] for line in record.split("\n")]
    return "F:" in marks and "A:" in marks[marks.index("F:"):]

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
    for line in open(listing, encoding="utf-8"):
        if line.startswith("#") or line.startswith("Datei\t"):
            continue
        name, category, options, _ = line.rstrip("\n").split("\t")
        if category == "-":
            continue
        taken += 1
        own = records(os.path.join(source, name))
        if listed.pop(category, None) != len(own):
            faults.append(f"{category}: witz liste does not say {len(own)}, the records of {name}")
        jokes = open(os.path.join(folder, "Witze", category), "rb").read().split(b"\n")
        solved = sum(1 for joke in jokes if b"\x12" in joke)
        riddles = sum(1 for r in own if is_riddle(r)) if "raetsel" in options else 0
        if solved != riddles:
            faults.append(f"{category}: {solved} jokes with solution parts, {riddles} riddles in {name}")
        if riddles:
            print(f"{category}: {riddles} riddles with solution parts")
    samples = set(os.listdir("sample/Witze"))
    for category in listed:
        if category not in samples:
            faults.append(f"{category}: neither from {listing} nor one of our samples")
    total = sum(int(n) for n in re.findall(r"\((\d+)\)$", done.stdout.decode("utf-8"), re.M))
    if total < MIN_JOKES or len(listed) + taken < MIN_CATEGORIES:
        faults.append(f"only {total} jokes in {len(listed) + taken} categories")
    for fault in faults:
        print(f"FAIL: {fault}")
    if not faults:
        print(f"collection: {taken} categories from {source} with as many jokes as their source "
              f"files hold, {len(listed)} of ours; {total} jokes in all")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
