#!/usr/bin/env python3
"""Counts what makes a collection read like a terminal's text in Pointex, or read wrong, per kind
of fault, over every file of FOLDER/Witze (ISO 8859-1, one joke a line, 0x12 before a solution
part, 0x11 for a line break). A count is of jokes, unless it says otherwise.

- mid-sentence breaks: a line break after a word (a letter or digit, no punctuation) where the
  sentence plainly goes on: the next line begins with a small letter, or the word is an article
  (not a headword's gender after a comma), a preposition or a conjunction; not before a list's
  item, not after a first line of one or two words (a title, a headword), a definition's item
  ("wichtigster Exportartikel: ...") or program text (" | ", " > ", " && "), and not in verse
  (a block whose lines mostly rhyme, or of four lines or more, all shorter than 50 characters);
- joined breaks: a list's item or a dialogue's turn run into the line before: "5. ... 6. ..." in
  one line, or a turn ("Name: ...") inside a line that begins with one, where the name begins
  lines of the category at least three times;
- riddle forms without a solution part: a question as the first line and its answer on the next
  (no question, no quotation's source "--", the question no turn of a dialogue); "Was ...? Answer."
  on one line, the question asked with a question word; an "A:" under a question;
- indented lines: lines inside a part that begin with a blank or tab, a quotation's source
  ("-- Name", which tabs may set apart) aside;
- split wrongly: a solution part that begins inside a quotation (an odd number of '"' before it
  in its part), a line left from a record separator ("%" with one character), a part beginning
  or ending with an empty line;
- lead-ins: words before a colon that open the first line of ten jokes of a category or more
  ("Sprachlexikon-Namen: ..."), a frame that the category's name should say instead;
- headings: first lines that open 20 or more jokes of one category (groups, and their jokes),
  apart from those that are the whole question of riddles (a solution part follows);
- wrapped: a line of 55 or more characters followed by a line break; "terminal-wide" counts
  those whose line is at most 80 characters long;
- fixed-width: a run of three blanks or a tab between two characters of a line, or two drawn
  lines (more of |/\\_-=+*#<>^~ than letters and digits, one with | or \\ or a / at - or _);
- duplicates: extra copies of a joke, compared by its letters and digits, case aside;
- categories: how many, how many hold fewer than 20 jokes, and the share of the two largest.

collection_stats.py FOLDER [--details]: --details names the jokes of each kind.
"""
import collections
import os
import re
import sys

SPEAKER = re.compile(r"[^.!?\",;:]{1,30}: ")
TURN = re.compile(r"([A-ZÄÖÜ][^.!?\",;:]{0,29}): \S")
ITEM = re.compile(r"([-*+·o]|\(?\d{1,3}[.)]|[a-zA-Z]\)) ")
DRAWN = set("|/\\_-=+*#<>^~")
PROGRAM = re.compile(r" (\||>|&&) ")
DEFINITION = re.compile(r"[a-zäöüß][^.!?\",;:]{0,29}: \S")
# Words that never end a German sentence: articles, prepositions and conjunctions.
OPEN_WORDS = set("der die das den dem des ein eine einen einem einer eines und oder aber sondern "
                 "denn als wie daß dass ob weil wenn zum zur im am beim vom in bei von für über "
                 "unter seit ohne gegen zwischen mit an auf aus nach vor zu um durch".split())
QUESTION_WORDS = set("Was Wer Wen Wem Wessen Wie Wo Wann Warum Wieso Weshalb Weswegen Welche "
                     "Welcher Welches Welchen Welchem Wieviel Wieviele Woran Worauf Woraus Wobei "
                     "Wodurch Wofür Wogegen Woher Wohin Womit Wonach Worin Worüber Worum Wovon "
                     "Wovor Wozu".split())
VOWELS = set("aeiouyäöü")
SHORT = 50


def parts_of(joke):
    return [part.split("\x11") for part in joke.split("\x12")]


def lines_of(joke):
    return [line for part in parts_of(joke) for line in part]


def is_source(line):
    return line.strip().startswith("--")


def last_word(line):
    match = re.search(r"([^\W\d_]+)[^a-zA-ZäöüÄÖÜß]*$", line)
    return match.group(1).lower() if match else ""


def rhyme(a, b):
    """Two words that end alike from a vowel on, in two letters or more, and more than an e and
    one consonant; or the same word, unless an article, a preposition or a conjunction."""
    if not a or not b:
        return False
    if a == b:
        return a not in OPEN_WORDS
    same = 0
    while same < min(len(a), len(b)) and a[-1 - same] == b[-1 - same]:
        same += 1
    ending = a[len(a) - same:]
    return same >= 2 and bool(VOWELS & set(ending)) and not (same == 2 and ending[0] == "e")


def blocks(part):
    """Lines between empty lines, a quotation's source aside, with their indices."""
    block = []
    for k, line in enumerate(part + [""]):
        if line.strip() and not is_source(line):
            block.append(k)
        elif not line.strip():
            if block:
                yield block
            block = []


def verse(part, block):
    lines = [part[k] for k in block]
    if len(lines) >= 4 and all(len(line.rstrip()) < SHORT for line in lines):
        return True
    if len(lines) < 2 or any(len(line.rstrip()) >= SHORT for line in lines):
        return False
    words = [last_word(line) for line in lines]
    rhyming = set()
    for k in range(1, len(words)):
        for j in range(max(0, k - 3), k):
            if rhyme(words[j], words[k]):
                rhyming.update((j, k))
    return 2 * len(rhyming) >= len(words)


def mid_sentence(joke):
    for part in parts_of(joke):
        for block in blocks(part):
            if verse(part, block):
                continue
            for k in block:
                if k + 1 >= len(part):
                    continue
                line, below = part[k].rstrip(), part[k + 1].strip()
                if (not line or not below or is_source(below) or ITEM.match(below)
                        or (k == 0 and len(line.split()) <= 2) or PROGRAM.search(line)
                        or DEFINITION.match(line.strip())):
                    continue
                words = line.split()
                # An article after a comma is a headword's gender ("Abalemma, das").
                open_word = (len(words) > 1 and words[-1].lower() in OPEN_WORDS
                             and not words[-2].endswith(","))
                if line[-1].isalnum() and (below[0].islower() or open_word):
                    return True
    return False


def joined_breaks(joke, speakers):
    for line in lines_of(joke):
        text = line.strip()
        number = re.match(r"\(?(\d{1,3})[.)] ", text)
        if number and re.search(rf"\w \(?{int(number.group(1)) + 1}[.)] ", text):
            return True
        turn = TURN.match(text)
        if turn and any(speakers[name] >= 3 for name in re.findall(
                r"[a-zäöüß] ([A-ZÄÖÜ][\w-]{1,29}): \S", text[turn.end():])):
            return True
    return False


def asks(line):
    match = re.match(r"\s*([^\W\d_]+)", line)
    return bool(match) and match.group(1) in QUESTION_WORDS


def riddle_forms(joke):
    """The riddle forms of a joke without a solution part: "own line", "one line", "A:"."""
    if "\x12" in joke:
        return []
    lines = [line.strip() for line in joke.split("\x11")]
    rest = [line for line in lines[1:] if line]
    question = lines[0]
    forms = []
    turn = SPEAKER.match(question) or ": " in question.partition("?")[0]
    if (question.endswith("?") and len(question) <= 80 and not turn and rest
            and not rest[0].endswith("?") and not is_source(rest[0])):
        forms.append("own line")
    one = re.match(r"([^?\"]{5,80}\?)\s+-*\s*(\S.*)$", question)
    if one and asks(question) and not one.group(2).endswith("?") and not one.group(2)[0].islower():
        forms.append("one line")
    if any(a.endswith("?") and b.startswith("A:") for a, b in zip(lines, lines[1:])):
        forms.append("A:")
    return forms


def indented(joke):
    return any(line[:1] in (" ", "\t") and line.strip() and not is_source(line)
               for part in parts_of(joke) for line in part[1:])


def split_wrongly(joke):
    parts = parts_of(joke)
    if any("\x11".join(part).count('"') % 2 for part in parts[:-1]):
        return True
    if any(re.fullmatch(r"\S?%|%\S", line.strip()) for line in lines_of(joke)):
        return True
    return any(not part[0].strip() or not part[-1].strip() for part in parts)


def wrapped(joke, widest=None):
    return any(len(line.rstrip()) >= 55 and (widest is None or len(line.rstrip()) <= widest)
               for part in parts_of(joke) for line in part[:-1])


def terminal_wide(joke):
    return wrapped(joke, 80)


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


def read(folder):
    """The categories of FOLDER/Witze: name and jokes."""
    witze = os.path.join(folder, "Witze")
    return {name: open(os.path.join(witze, name), "rb").read().decode("latin-1").split("\n")
            for name in sorted(os.listdir(witze))}


def count(categories):
    """The jokes of each kind as places ("Category #n"), and the figures of the whole."""
    kinds = {name: [] for name in (
        "mid-sentence breaks", "joined breaks", "riddle forms without a solution part",
        "    answer on its own line", "    question and answer on one line",
        "    answer's A: left", "indented lines", "split wrongly", "wrapped", "terminal-wide",
        "fixed-width")}
    forms = {"own line": "    answer on its own line",
             "one line": "    question and answer on one line", "A:": "    answer's A: left"}
    openings = collections.Counter()
    lead_ins = collections.Counter()
    copies = collections.defaultdict(list)
    for name, jokes in categories.items():
        speakers = collections.Counter(
            turn.group(1) for joke in jokes for line in lines_of(joke)
            if (turn := TURN.match(line.strip())))
        for number, joke in enumerate(jokes, 1):
            where = f"{name} #{number}"
            tests = (("mid-sentence breaks", mid_sentence),
                     ("joined breaks", lambda j: joined_breaks(j, speakers)),
                     ("indented lines", indented), ("split wrongly", split_wrongly),
                     ("wrapped", wrapped), ("terminal-wide", terminal_wide),
                     ("fixed-width", fixed_width))
            for kind, test in tests:
                if test(joke):
                    kinds[kind].append(where)
            found = riddle_forms(joke)
            if found:
                kinds["riddle forms without a solution part"].append(where)
            for form in found:
                kinds[forms[form]].append(where)
            first = lines_of(joke)[0]
            question = "\x12" in joke and "\x11" not in joke.split("\x12")[0]
            openings[(name, " ".join(first.split()), question)] += 1
            lead_in = SPEAKER.match(first.strip())
            if lead_in and first.strip()[lead_in.end():]:
                lead_ins[(name, lead_in.group(0).strip())] += 1
            copies[key(joke)].append(where)
    headings = {opening[:2]: n for opening, n in openings.items() if n >= 20 and not opening[2]}
    questions = {opening[:2]: n for opening, n in openings.items() if n >= 20 and opening[2]}
    lead_ins = {k: n for k, n in lead_ins.items() if n >= 10}
    extra = [places for places in copies.values() if len(places) > 1]
    sizes = sorted((len(jokes) for jokes in categories.values()), reverse=True)
    return {"jokes": sum(sizes), "kinds": kinds, "headings": headings, "questions": questions,
            "lead-ins": lead_ins, "duplicates": extra, "sizes": sizes}


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    details = "--details" in sys.argv[2:]
    categories = read(sys.argv[1])
    found = count(categories)
    print(f"{found['jokes']} jokes in {os.path.join(sys.argv[1], 'Witze')}")
    for kind, places in found["kinds"].items():
        print(f"{kind}: {len(places)}")
        if details and places:
            print("        " + ", ".join(places))
    lead_ins = found["lead-ins"]
    print(f"lead-ins: {len(lead_ins)} groups, {sum(lead_ins.values())} jokes")
    if details:
        for (name, words), n in sorted(lead_ins.items()):
            print(f"    {name}: {n} x {words!r}")
    headings, questions = found["headings"], found["questions"]
    print(f"headings: {len(headings)} groups, {sum(headings.values())} jokes")
    print(f"    as riddles' questions: {len(questions)} groups, {sum(questions.values())} jokes")
    if details:
        for (name, line), n in sorted({**headings, **questions}.items()):
            print(f"    {name}: {n} x {line!r}")
    extra = found["duplicates"]
    print(f"duplicates: {sum(len(p) - 1 for p in extra)} extra copies")
    if details:
        for places in extra:
            print("    " + " = ".join(places))
    sizes = found["sizes"]
    print(f"categories: {len(sizes)}, {sum(1 for n in sizes if n < 20)} with fewer than 20 "
          f"jokes, the two largest {100 * sum(sizes[:2]) // max(1, sum(sizes))} % of all")


if __name__ == "__main__":
    main()
