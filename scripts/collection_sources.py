#!/usr/bin/env python3
"""The records of fortunes-de as collection/quellen.tsv places them and collection/korrekturen.tsv
mends them, for scripts/make-collection.sh (which imports them) and scripts/check_collection.py
(which checks the collection against them).

A record is the text between two lines that hold only "%", numbered from 1 as witz import counts
them: empty ones too, a "%" opening or closing the file not. A row of quellen.tsv names a file, or
some of its records ("sicherheitshinweise:29-36", "namen:107,215"); the row that names the file
alone takes those no other row names. A correction replaces a text that stands exactly once in its
record; a "%" line it makes parts the record in two.

collection_sources.py write SOURCE LIST CORRECTIONS FOLDER: writes the records of each row that
takes some into FOLDER as a fortune file, UTF-8 as the source, and prints the rows as tab-separated
lines: the file written ("-" for a row that takes nothing), category, options, what the row names
("sicherheitshinweise, Einträge 29-36"), reason. Exits 1, naming the fault, where the lists do not
fit the source.
"""
import os
import re
import sys
from dataclasses import dataclass, field


class Misfit(Exception):
    """The lists name a file, a record or a text that the source does not hold as named."""


@dataclass
class Row:
    file: str
    numbers: list  # the records named, or None for the rest of the file
    category: str  # "-": not taken
    options: str  # "-": none
    reason: str
    records: list = field(default_factory=list)  # (number, text) after corrections

    def label(self):
        if self.numbers is None:
            return self.file
        word = "Eintrag" if len(self.numbers) == 1 else "Einträge"
        return f"{self.file}, {word} {spans(self.numbers)}"


def spans(numbers):
    """1,2,3,7 as "1-3, 7"."""
    out = []
    for n in sorted(numbers):
        if out and out[-1][1] == n - 1:
            out[-1][1] = n
        else:
            out.append([n, n])
    return ", ".join(str(a) if a == b else f"{a}-{b}" for a, b in out)


def numbers_of(selection):
    numbers = []
    for part in selection.split(","):
        match = re.fullmatch(r"\s*(\d+)\s*(?:-\s*(\d+)\s*)?", part)
        if not match:
            raise Misfit(f"{selection!r} is no list of records")
        first, last = int(match.group(1)), int(match.group(2) or match.group(1))
        if first < 1 or last < first:
            raise Misfit(f"{selection!r} is no list of records")
        numbers.extend(range(first, last + 1))
    return numbers


def table(path, columns):
    """The rows of a tab-separated list, its comments and its header line aside."""
    rows = []
    header = True
    for number, line in enumerate(open(path, encoding="utf-8"), 1):
        line = line.rstrip("\n")
        if not line or line.startswith("#"):
            continue
        cells = line.split("\t")
        if len(cells) != columns:
            raise Misfit(f"{path}:{number}: {len(cells)} columns, not {columns}")
        if not header:
            rows.append(cells)
        header = False
    return rows


def records(path):
    """The records of a fortune file as witz import reads them: (number, text) from 1."""
    lines = open(path, "rb").read().decode("utf-8").removeprefix("\ufeff").split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    found = [[]]
    for line in lines:
        if line.rstrip("\r") == "%":
            found.append([])
        else:
            found[-1].append(line)
    if len(found) > 1 and not found[0]:
        found.pop(0)
    if found and not found[-1]:
        found.pop()
    return [(number, "\n".join(lines)) for number, lines in enumerate(found, 1)]


def unescaped(text):
    return text.replace("\\n", "\n").replace("\\t", "\t")


def corrected(text, fixes, where):
    """The record's text with each (old, new) applied, each old standing in it exactly once;
    a line "%" parts it in records of their own."""
    for old, new in fixes:
        if text.count(old) != 1:
            raise Misfit(f"{where}: {old!r} stands {text.count(old)} times in the record, not once")
        text = text.replace(old, new)
    return [part for part in re.split(r"(?m)^%\r?$\n?", text)]


def plan(source, listing, corrections):
    """The rows of LIST, each with the records it takes from SOURCE, corrections applied."""
    rows = [Row(file.partition(":")[0], numbers_of(file.partition(":")[2]) if ":" in file else None,
                category, options, reason)
            for file, category, options, reason in table(listing, 4)]
    fixes = {}
    for file, number, old, new, _ in table(corrections, 5):
        fixes.setdefault((file, int(number)), []).append((unescaped(old), unescaped(new)))
    by_file = {}
    for row in rows:
        by_file.setdefault(row.file, []).append(row)
    for file, own in by_file.items():
        path = os.path.join(source, file)
        if all(row.category == "-" for row in own) and not os.path.isfile(path):
            continue
        if not os.path.isfile(path):
            raise Misfit(f"{path} is missing")
        found = dict(records(path))
        named = {}
        for row in own:
            for n in row.numbers or []:
                if n not in found:
                    raise Misfit(f"{row.label()}: {file} has no record {n}")
                if n in named:
                    raise Misfit(f"{file}: record {n} stands in two rows")
                named[n] = row
        rests = [row for row in own if row.numbers is None]
        if len(rests) > 1:
            raise Misfit(f"{file} stands alone in {len(rests)} rows, not one")
        for n, text in found.items():
            row = named.get(n, rests[0] if rests else None)
            if row is None:
                raise Misfit(f"{file}: record {n} stands in no row")
            for part in corrected(text, fixes.pop((file, n), []), f"{file}, record {n}"):
                row.records.append((n, part))
    for file, n in fixes:
        raise Misfit(f"{corrections}: {file} has no record {n} to correct")
    return rows


def write(source, listing, corrections, folder):
    rows = plan(source, listing, corrections)
    os.makedirs(folder, exist_ok=True)
    for index, row in enumerate(rows, 1):
        written = "-"
        if row.category != "-":
            written = os.path.join(folder, f"{index:02d}-{row.file}")
            # A "%" before and after each record keeps it a fortune file, whatever it holds.
            text = "".join(f"%\n{text}\n" for _, text in row.records) + "%\n"
            with open(written, "wb") as out:
                out.write(text.encode("utf-8"))
        print("\t".join((written, row.category, row.options, row.label(), row.reason)))


def main():
    if len(sys.argv) != 6 or sys.argv[1] != "write":
        sys.exit(__doc__)
    try:
        write(*sys.argv[2:])
    except Misfit as fault:
        sys.exit(f"collection_sources: {fault}")


if __name__ == "__main__":
    main()
