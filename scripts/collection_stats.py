#!/usr/bin/env python3
"""Counts what makes a collection read like a terminal's text in Pointex, per kind of problem,
over every file of FOLDER/Witze (ISO 8859-1, one joke a line, 0x12 before a solution part, 0x11
for a line break):

- wrapped: jokes with a line of 55 or more characters followed by a line break (prose wrapped
  for a terminal, which the text area wraps again); "terminal-wide" counts those whose line is
  at most 80 characters long, so that a paragraph already joined into one line and followed by
  a deliberate break (a quotation's source, the next paragraph) is not taken for a wrapped one;
- riddles shown at once: jokes without a solution part whose first line is a question of at
  most 80 characters (ending in "?", not "Name: ..."), with a line after it that is no question;
- headings: first lines that open 20 or more jokes of one category (groups, and their jokes),
  apart from those that are the whole question of riddles (a solution part follows), as a
  series with one question has them;
- duplicates: extra copies of a joke, compared by its letters and digits, case aside, across
  the whole collection;
- fixed-width: jokes with a run of three blanks or a tab between two characters of a line
  (aligned columns), or two drawn lines (more of |/\\_-=+*#<>^~ than letters and digits, one
  with | or \\ or a / at - or _).

collection_stats.py FOLDER [--details]: --details names the jokes of each kind.
"""
import collections
import os
import re
import sys

SPEAKER = re.compile(r"[^.!?\",;:]{1,30}: ")
DRAWN = set("|/\\_-=+*#<>^~")


def lines_of(joke):
    return [line for part in joke.split("\x12") for line in part.split("\x11")]


def wrapped(joke, widest=None):
    return any(len(line.rstrip()) >= 55 and (widest is None or len(line.rstrip()) <= widest)
               for part in joke.split("\x12") for line in part.split("\x11")[:-1])


def terminal_wide(joke):
    return wrapped(joke, 80)


def riddle_at_once(joke):
    if "\x12" in joke:
        return False
    lines = [line.strip() for line in joke.split("\x11")]
    rest = [line for line in lines[1:] if line]
    question = lines[0]
    return (question.endswith("?") and len(question) <= 80 and not SPEAKER.match(question)
            and bool(rest) and not rest[0].endswith("?"))


def drawn(line):
    drawing = sum(1 for c in line if c in DRAWN)
    letters = sum(1 for c in line if c.isalnum())
    return "://" not in line and drawing >= 2 and drawing >= letters


def fixed_width(joke):
    lines = lines_of(joke)
    if any(re.search(r"\S( {3,}|[ \t]*\t[ \t]*)\S", line) for line in lines):
        return True
    drawings = [line for line in lines if drawn(line)]
    return len(drawings) >= 2 and any(set("|\\") & set(line) or "/-" in line or "/_" in line
                                      for line in drawings)


def key(joke):
    return "".join(c for c in joke.lower() if c.isalnum())


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    folder = os.path.join(sys.argv[1], "Witze")
    details = "--details" in sys.argv[2:]
    kinds = {name: [] for name in ("wrapped", "terminal-wide", "riddles shown at once",
                                   "fixed-width")}
    openings = collections.Counter()
    copies = collections.defaultdict(list)
    total = 0
    for name in sorted(os.listdir(folder)):
        jokes = open(os.path.join(folder, name), "rb").read().decode("latin-1").split("\n")
        total += len(jokes)
        for number, joke in enumerate(jokes, 1):
            where = f"{name} #{number}"
            for kind, test in (("wrapped", wrapped), ("terminal-wide", terminal_wide),
                               ("riddles shown at once", riddle_at_once),
                               ("fixed-width", fixed_width)):
                if test(joke):
                    kinds[kind].append(where)
            parts = joke.split("\x12")
            question = len(parts) > 1 and "\x11" not in parts[0]
            openings[(name, " ".join(lines_of(joke)[0].split()), question)] += 1
            copies[key(joke)].append(where)
    headings = {opening[:2]: n for opening, n in openings.items() if n >= 20 and not opening[2]}
    questions = {opening[:2]: n for opening, n in openings.items() if n >= 20 and opening[2]}
    extra = {k: places for k, places in copies.items() if len(places) > 1}
    print(f"{total} jokes in {folder}")
    for kind, places in kinds.items():
        print(f"{kind}: {len(places)}")
        if details:
            print("    " + ", ".join(places))
    print(f"headings: {len(headings)} groups, {sum(headings.values())} jokes")
    print(f"    as riddles' questions: {len(questions)} groups, {sum(questions.values())} jokes")
    if details:
        for (name, line), n in sorted({**headings, **questions}.items()):
            print(f"    {name}: {n} x {line!r}")
    print(f"duplicates: {sum(len(p) - 1 for p in extra.values())} extra copies")
    if details:
        for places in extra.values():
            print("    " + " = ".join(places))


if __name__ == "__main__":
    main()
