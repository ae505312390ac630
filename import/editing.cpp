// The editing rules of witz import: drawings, headings, questions, columns and flowing
// paragraphs, each over the jokes of one source, as the lines stood there.
#include "editing.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "library/latin1.h"
#include "records.h"

namespace {

constexpr std::size_t none = std::string::npos;

// The widths and counts the rules judge by, each with the reason for its value.
// The terminal the sources were written for; no joke was wrapped wider.
constexpr std::size_t terminalWidth = 80;
// A line this wide or wider may have been wrapped for the width of a terminal; shorter lines in
// fortunes-de are verse, list items and lines ended on purpose.
constexpr std::size_t wrappedWidth = 50;
// A wrapped line ends where its next word would have passed the width it was wrapped at, less a
// fifth of that width: hand-wrapped text leaves ragged ends, a short line does not come from it.
constexpr std::size_t raggedEndShare = 5;
// A longer question is part of a story, not a riddle's.
constexpr std::size_t questionWidth = terminalWidth;
// Tabs went to the next multiple of eight in the terminal.
constexpr std::size_t tabWidth = 8;
// A heading is made of at most this many lines.
constexpr std::size_t headingLines = 3;
// A heading opens at least a tenth of a source's jokes, and at least three: two alike are chance.
constexpr std::size_t headingShare = 10;
constexpr std::size_t headingJokes = 3;
// A list numbers its items with at most three digits; "1999. " starts a sentence.
constexpr std::size_t itemDigits = 3;
// A speaker's name or role before the colon: at most 30 characters and five words ("Der Mann
// vom Amt zu Fritzchen: "); a longer run is a sentence with a colon in it.
constexpr std::size_t speakerWidth = 30;
constexpr std::size_t speakerWords = 5;
// Three blanks, or a tab, between two characters align a column; two follow a full stop in
// typewritten text.
constexpr std::size_t columnGap = 3;
// Four short lines or more in a block were set one by one; two or three may be a short sentence
// wrapped for a narrow joke.
constexpr std::size_t setLines = 4;
// A line of verse rhymes with one of the three before it: in pairs, crossed or enclosing.
constexpr std::size_t rhymeReach = 3;
// A rhyme is two letters alike at least ("Krach", "nach"); one alike is chance.
constexpr std::size_t rhymeLetters = 2;
// A picture takes two lines drawn with strokes at least, each with two strokes at least: one
// dash or one ruled line is writing.
constexpr std::size_t drawnLines = 2;
constexpr std::size_t strokesInADrawnLine = 2;

// The words a riddle's question begins with, each between blanks.
constexpr std::string_view questionWords =
    " Was Wer Wen Wem Wessen Wie Wo Wann Warum Wieso Weshalb Weswegen Welche Welcher Welches "
    "Welchen Welchem Wieviel Wieviele Woran Worauf Woraus Wobei Wodurch Wof\xfcr Wogegen Woher "
    "Wohin Womit Wonach Worin Wor\xfc"
    "ber Worum Wovon Wovor Wozu ";
// Words that never end a German sentence without a mark after them: articles, prepositions
// (a verb's particle at a sentence's end has its full stop) and conjunctions, each between
// blanks.
constexpr std::string_view openWords =
    " der die das den dem des ein eine einen einem einer eines und oder aber sondern denn als wie "
    "da\xdf dass ob weil wenn zum zur im am beim vom in bei von f\xfcr \xfc"
    "ber unter seit ohne gegen zwischen mit an auf aus nach vor zu um durch ";

bool isBlankChar(char c) {
    return latin1::isBlank(static_cast<unsigned char>(c));
}

bool isWordChar(char c) {
    return latin1::isWordCharacter(static_cast<unsigned char>(c));
}

// Whether c is one of marks; never for the '\0' that stands for no character.
bool isOneOf(char c, const char* marks) {
    return c != '\0' && std::strchr(marks, c) != nullptr;
}

std::size_t firstText(const std::string& text) {
    std::size_t start = text.find_first_not_of(" \t");
    return start == none ? text.size() : start;
}

bool isBlankLine(const JokeLine& line) {
    return ::isBlankLine(line.text);
}

// The text without the blanks at its ends, seen in place: the rules ask it many times a line.
std::string_view trimmed(const std::string& text) {
    std::size_t start = firstText(text);
    std::size_t end = text.find_last_not_of(" \t");
    return start == text.size() ? std::string_view()
                                : std::string_view(text).substr(start, end + 1 - start);
}

char lastChar(const JokeLine& line) {
    std::string_view text = trimmed(line.text);
    return text.empty() ? '\0' : text.back();
}

// The column of the source line at which the character at index stood; tabs went to the next
// multiple of eight.
std::size_t columnAt(const JokeLine& line, std::size_t index) {
    std::size_t column = line.column;
    for (std::size_t k = 0; k < index && k < line.text.size(); ++k) {
        column = line.text[k] == '\t' ? (column / tabWidth + 1) * tabWidth : column + 1;
    }
    return column;
}

std::size_t indentOf(const JokeLine& line) {
    return columnAt(line, firstText(line.text));
}

std::size_t widthOf(const JokeLine& line) {
    std::size_t end = line.text.find_last_not_of(" \t");
    return end == none ? line.column : columnAt(line, end + 1);
}

// A quotation's source: "-- Name", set off by tabs or blanks, or short ("-- Neulich beim
// Pferderennen ..." flush at the left goes on a story).
bool isSource(const JokeLine& line) {
    std::size_t at = firstText(line.text);
    return line.text.compare(at, 2, "--") == 0 && (at > 0 || widthOf(line) < wrappedWidth);
}

// The length of a list mark at text[at] and the blank after it: a bullet ("-", "*", "+", "o", a
// middle dot), a number ("1.", "12)", "(3)"), a letter ("a)") or "... " going on from a heading;
// 0 without one.
std::size_t itemMark(const std::string& text, std::size_t at) {
    auto blankAt = [&](std::size_t k) { return k < text.size() && isBlankChar(text[k]); };
    if (at < text.size() && isOneOf(text[at], "-*+o\xb7") && blankAt(at + 1)) {
        return 2;
    }
    if (text.compare(at, 3, "...") == 0 && blankAt(at + 3)) {
        return 4;
    }
    bool parenthesis = at < text.size() && text[at] == '(';
    std::size_t start = at + (parenthesis ? 1 : 0);
    std::size_t end = start;
    while (end < text.size() && end - start < itemDigits && latin1::isDigit(text[end])) {
        ++end;
    }
    bool number = end > start;
    // A letter of ASCII, as the runtime's isalpha has it in the "C" locale on every system.
    char letter = start < text.size() ? static_cast<char>(text[start] | 0x20) : '\0';
    if (!number && letter >= 'a' && letter <= 'z') {
        ++end;
    }
    bool closed = end < text.size() && (text[end] == ')' || (number && text[end] == '.'));
    return end > start && closed && blankAt(end + 1) ? end + 2 - at : 0;
}

// The length of a speaker's name and colon at text[at] ("Fritzchen: ", "Mann zu Frau: ",
// "P(drohend): "), the blank after the colon included; 0 without one.
std::size_t speakerMark(std::string_view text, std::size_t at) {
    std::size_t colon = text.find(':', at);
    if (colon == none || colon == at || colon - at > speakerWidth ||
        (colon + 1 < text.size() && !isBlankChar(text[colon + 1]))) {
        return 0;
    }
    std::string_view name = text.substr(at, colon - at);
    // Names and roles begin with a capital; "und sagt: " goes on a sentence.
    if (!latin1::isCapital(static_cast<unsigned char>(text[at]))) {
        return 0;
    }
    std::size_t words = 0;
    for (std::size_t k = 0; k < name.size(); ++k) {
        words += !isBlankChar(name[k]) && (k == 0 || isBlankChar(name[k - 1])) ? 1 : 0;
    }
    return name.find_first_of(".!?\",;") == none && words <= speakerWords ? colon + 2 - at : 0;
}

bool startsTurn(const JokeLine& line) {
    return speakerMark(line.text, firstText(line.text)) > 0;
}

bool startsItem(const JokeLine& line) {
    std::size_t at = firstText(line.text);
    return itemMark(line.text, at) > 0 || speakerMark(line.text, at) > 0;
}

// Where a run of blanks inside the line aligns a column: three blanks or a tab between two
// characters; none without.
std::size_t paddingAt(const std::string& text) {
    for (std::size_t k = firstText(text); k < text.size(); ++k) {
        std::size_t end = k;
        while (end < text.size() && isBlankChar(text[end])) {
            ++end;
        }
        bool tab = std::find(text.begin() + k, text.begin() + end, '\t') != text.begin() + end;
        if (end < text.size() && (end - k >= columnGap || tab)) {
            return k;
        }
        k = end;
    }
    return none;
}

// The column where the text of an item, a speaker's turn, a quotation or an aligned column goes
// on; none for a line without one.
std::size_t hangingColumn(const JokeLine& line) {
    const std::string& text = line.text;
    std::size_t at = firstText(text);
    std::size_t mark = std::max(itemMark(text, at), speakerMark(text, at));
    // A quotation's lines may go on under its first letter, behind the quotation mark or bracket.
    mark = mark == 0 && at < text.size() && (text[at] == '"' || text[at] == '(') ? 1 : mark;
    std::size_t padding = paddingAt(text);
    if (mark == 0 && padding == none) {
        return none;
    }
    std::size_t start = mark > 0 ? at + mark : padding;
    return columnAt(line, text.find_first_not_of(" \t", start));
}

// The column where the text after a line's first label goes on ("13. Methode: Die logische ...",
// "472: Einen ..."), where the lines below may hang; none without a label.
std::size_t labelColumn(const JokeLine& line) {
    const std::string& text = line.text;
    std::size_t colon = text.find(": ", firstText(text));
    std::size_t after = colon == none ? none : text.find_first_not_of(" \t", colon + 1);
    return after == none ? none : columnAt(line, after);
}

// The letters of the last word of a line, made small, what follows them aside.
std::string lastWord(const JokeLine& line) {
    const std::string& text = line.text;
    std::size_t end = text.size();
    while (end > 0 && !latin1::isLetter(static_cast<unsigned char>(text[end - 1]))) {
        --end;
    }
    std::string word;
    while (end > 0 && latin1::isLetter(static_cast<unsigned char>(text[end - 1]))) {
        word.insert(word.begin(), static_cast<char>(latin1::folded(text[--end])));
    }
    return word;
}

// Whether the line ends in a word that never ends a sentence, an article, a preposition or a
// conjunction, with no mark after it: its sentence goes on below, whatever the next line looks
// like ("hilft die\nAEG-Methode: ...", "am\n24. Februar").
bool endsInOpenWord(const JokeLine& line) {
    constexpr std::string_view genders = " der die das ";
    if (!latin1::isLetter(static_cast<unsigned char>(lastChar(line)))) {
        return false;
    }
    std::string word = " " + lastWord(line) + " ";
    std::string_view text = trimmed(line.text);
    std::size_t at = text.size() - (word.size() - 2);
    // A line of that word alone is a heading or a name ("Die"), and an article after a comma is
    // a headword's gender ("Abalemma, das").
    std::size_t before = at > 0 ? text.find_last_not_of(" \t", at - 1) : none;
    bool gender = before != none && text[before] == ',' && genders.find(word) != none;
    return before != none && !gender && openWords.find(word) != none;
}

// Whether the next line starts an item or a turn of its own. After a sentence's end it may. In
// mid-sentence a bullet and a list's first item always do ("denn\n1. Viren ..."), and a list or
// a dialogue goes on with an item ("Stones\n 6. Release me", "effizient und\n4) sie ..."), or a
// turn that says something ("Bildschirm\nDAU: 'R' ...") unless a word that never ends a
// sentence stands before it ("die\nAEG-Methode: ..."); any other number or colon is the
// sentence's ("am\n24. Februar", "ruhiger\nStimme: ...", "an\nBill Gates:"). listed: a line of
// the part before started one.
bool startsOwnLine(const JokeLine& line, const JokeLine& next, bool listed) {
    char last = lastChar(line);
    if (!isWordChar(last) && last != ',') {
        return startsItem(next);
    }
    const std::string& text = next.text;
    std::size_t at = firstText(text);
    std::size_t item = itemMark(text, at);
    bool number = item > 0 && latin1::isDigit(text[at]);
    bool first = number && text[at] == '1' && !latin1::isDigit(text[at + 1]);
    if ((item > 0 && !number) || first) {
        return true;
    }
    if (!listed || (!number && endsInOpenWord(line))) {
        return false;
    }
    // A dialogue's turn here is a name or a role of one word that says something ("DAU: 'R'",
    // "Wichtig: Beim ..."); "Befehle wie: ..." goes on a sentence.
    std::size_t speaker = speakerMark(text, at);
    bool named = speaker > 0 && at + speaker < text.size() &&
                 text.find_first_of(" \t", at) == text.find(':', at) + 1;
    return number || named;
}

// Whether the break between two lines of a part was made for a terminal's width: the line runs
// close to the width the joke was wrapped at, and the next one goes on in its block (or indented
// under an item's or a turn's text) without starting an item, a turn or a column of its own.
// listed: a line of the part before started an item or a turn.
bool wrapped(const JokeLine& line, const JokeLine& next, std::size_t wrapWidth, bool listed) {
    if (isBlankLine(next) || next.marked || lastChar(line) == ':' || isSource(next)) {
        return false;
    }
    char last = lastChar(line);
    bool open = endsInOpenWord(line);
    std::size_t at = firstText(next.text);
    // A shorter line was ended on purpose, unless its sentence plainly goes on: it ends in a word,
    // and the next line goes on with a small letter or a number ("das kostet\n250.000 Mark"), or
    // the word never ends a sentence. Such a line goes on even into one that sets a note apart by
    // blanks ("hineinwerfen\nmüssen, ... (*) ...").
    auto first = static_cast<unsigned char>(next.text[at]);
    bool goesOn = isWordChar(last) && (latin1::isSmall(first) || latin1::isDigit(first) || open);
    if ((widthOf(line) < wrappedWidth || paddingAt(next.text) != none) && !goesOn) {
        return false;
    }
    if (startsOwnLine(line, next, listed)) {
        return false;
    }
    // A quotation that ends where the next begins, and a question, are each a turn of their own.
    std::string_view start = trimmed(next.text);
    std::string_view end = trimmed(line.text);
    std::size_t beforeQuotes = end.find_last_not_of("\"'");
    if ((start[0] == '"' && last == '"') || (beforeQuotes != none && end[beforeQuotes] == '?')) {
        return false;
    }
    std::size_t indent = indentOf(line);
    std::size_t nextIndent = indentOf(next);
    std::size_t hanging = hangingColumn(line);
    // Below a riddle's "F: " or "A: " a line may go on at the mark's column.
    bool sameBlock = (nextIndent == indent || (line.marked && nextIndent < indent)) &&
                     paddingAt(line.text) == none;
    // A quotation mark or a bracket may stand one column left of the text it hangs under; where
    // the sentence plainly goes on, any deeper indent hangs ("... WOZU ICH DIE\n
    // PILLEN BRAUCHE!!!!", "tatsächlich etwa\n     15 Disketten").
    std::size_t label = labelColumn(line);
    bool hangs = label != none && (nextIndent == label ||
                                   (nextIndent + 1 == label && isOneOf(next.text[at], "\"'(")));
    bool underText =
        nextIndent > indent && ((hanging != none && nextIndent <= hanging + 1) || hangs || goesOn);
    // A sentence goes on below a word that never ends one, and below a line as wide as a wrapped
    // one where it plainly goes on, however ragged the others ("..., als es\nfür irgendwelche").
    std::size_t word = std::min(start.find_first_of(" \t"), start.size());
    bool ragged = widthOf(line) + 1 + word >= wrapWidth - wrapWidth / raggedEndShare;
    return (sameBlock || underText) &&
           (ragged || open || (goesOn && widthOf(line) >= wrappedWidth));
}

// Whether two line ends rhyme: the words end alike from a vowel on, in two letters at least
// ("Krach", "nach"; "Schlu\xdf", "mu\xdf"), more than an unstressed e and a consonant ("machen",
// "sagen"); or the same word ends both, as in a refrain or a list ("Ich hau's Schwein\nDu
// haust's Schwein"), unless it is a word that never ends a sentence.
bool rhymes(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) {
        return false;
    }
    if (a == b) {
        return openWords.find(" " + a + " ") == none;
    }
    std::size_t same = 0;
    while (same < a.size() && same < b.size() && a[a.size() - 1 - same] == b[b.size() - 1 - same]) {
        ++same;
    }
    std::string ending = a.substr(a.size() - same);
    bool vowel = ending.find_first_of("aeiouy\xe4\xf6\xfc") != none;
    return same >= rhymeLetters && vowel && !(same == rhymeLetters && ending[0] == 'e');
}

// Whether the lines of a block are rhymed verse: all narrower than a wrapped line, and at least
// half of them rhyming with one of the three lines before (pairs, crossed and enclosing rhymes).
// A quotation's source is none of its lines.
bool rhymed(const std::vector<JokeLine>& lines, std::size_t start, std::size_t end) {
    std::vector<std::string> words;
    for (std::size_t k = start; k < end; ++k) {
        if (isSource(lines[k])) {
            continue;
        }
        if (widthOf(lines[k]) >= wrappedWidth) {
            return false;
        }
        words.push_back(lastWord(lines[k]));
    }
    std::vector<bool> rhyming(words.size());
    for (std::size_t k = 1; k < words.size(); ++k) {
        for (std::size_t before = k > rhymeReach ? k - rhymeReach : 0; before < k; ++before) {
            if (rhymes(words[before], words[k])) {
                rhyming[before] = rhyming[k] = true;
            }
        }
    }
    return words.size() > 1 &&
           2 * static_cast<std::size_t>(std::count(rhyming.begin(), rhyming.end(), true)) >=
               words.size();
}

// Whether a block of lines was set one by one, as verse, a list or a prayer: four lines at
// least, a quotation's source aside, all narrower than a wrapped line.
bool setOneByOne(const std::vector<JokeLine>& lines, std::size_t start, std::size_t end) {
    std::size_t count = 0;
    for (std::size_t k = start; k < end; ++k) {
        if (!isSource(lines[k])) {
            if (widthOf(lines[k]) >= wrappedWidth) {
                return false;
            }
            ++count;
        }
    }
    return count >= setLines;
}

// Verse, and text set one sentence a line: lines from one blank line to the next that are set
// one by one, that rhyme, or that each end in a punctuation mark, each after the first beginning
// with a capital, a digit or a quotation mark ("die jünger sind als ich." goes on a sentence).
std::vector<bool> versesOf(const std::vector<JokeLine>& lines) {
    std::vector<bool> verse(lines.size());
    for (std::size_t start = 0; start < lines.size();) {
        std::size_t end = start;
        bool punctuated = true;
        for (; end < lines.size() && !isBlankLine(lines[end]); ++end) {
            auto first = static_cast<unsigned char>(lines[end].text[firstText(lines[end].text)]);
            bool capital =
                latin1::isCapital(first) || latin1::isDigit(first) || first == '"' || first == '\'';
            punctuated = punctuated && (end == start || capital) &&
                         isOneOf(lastChar(lines[end]), ".,;:!?\"')-");
        }
        bool set = end > start + 1 &&
                   (punctuated || setOneByOne(lines, start, end) || rhymed(lines, start, end));
        std::fill(verse.begin() + static_cast<std::ptrdiff_t>(start),
                  verse.begin() + static_cast<std::ptrdiff_t>(end), set);
        start = end + 1;
    }
    return verse;
}

// A word broken after its hyphen ("IQ-" at a line's end, "Test" below) goes on without a
// blank. The hyphen stays: which hyphens only broke a word cannot be known.
bool endsInHyphen(const std::string& text) {
    std::size_t size = text.size();
    return size >= 2 && text[size - 1] == '-' &&
           latin1::isLetter(static_cast<unsigned char>(text[size - 2]));
}

void flow(std::vector<JokeLine>& lines, std::size_t wrapWidth) {
    std::vector<bool> verse = versesOf(lines);
    std::vector<JokeLine> joined;
    // Whether a line that starts a line of its own here started an item or a turn.
    bool listed = false;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (k > 0 && !verse[k] && wrapped(lines[k - 1], lines[k], wrapWidth, listed)) {
            std::string& text = joined.back().text;
            text.erase(text.find_last_not_of(" \t") + 1);
            text += endsInHyphen(text) ? "" : " ";
            text += trimmed(lines[k].text);
        } else {
            joined.push_back(lines[k]);
            listed = listed || startsItem(lines[k]);
        }
    }
    // The blanks before a line only set it under the one above in a terminal; the tabs and blanks
    // before a quotation's source ("-- Name") set it apart and stay.
    for (JokeLine& line : joined) {
        if (!isSource(line)) {
            line.text.erase(0, firstText(line.text));
        }
    }
    lines = std::move(joined);
}

// Whether the line asks with a question word ("Was ...", "Wie viele ..."): a riddle's question,
// which even a line in the form of a turn answers ("Acht: Einen um ...", "A: Aaaaaa - Klasse.").
bool asksDirectly(const JokeLine& line) {
    const std::string& text = line.text;
    std::size_t at = firstText(text);
    std::size_t end = at;
    while (end < text.size() && latin1::isLetter(static_cast<unsigned char>(text[end]))) {
        ++end;
    }
    return end > at && questionWords.find(" " + text.substr(at, end - at) + " ") != none;
}

// A short line ending in a question mark, not a turn of a dialogue ("Was ist das: ...?" asks).
bool isQuestion(const JokeLine& line) {
    std::string_view text = trimmed(line.text);
    return !text.empty() && text.back() == '?' && widthOf(line) <= questionWidth &&
           (speakerMark(text, 0) == 0 || asksDirectly(line));
}

void dropBlankEnds(std::vector<JokeLine>& lines) {
    while (!lines.empty() && isBlankLine(lines.back())) {
        lines.pop_back();
    }
    auto first = std::find_if_not(lines.begin(), lines.end(), isBlankLine);
    lines.erase(lines.begin(), first);
}

// The indent that all lines share goes: it set them off from lines that are now in another part.
void dedent(std::vector<JokeLine>& lines) {
    std::size_t indent = none;
    for (const JokeLine& line : lines) {
        indent = isBlankLine(line) ? indent : std::min(indent, firstText(line.text));
    }
    for (JokeLine& line : lines) {
        line.text.erase(0, std::min(indent, firstText(line.text)));
    }
}

// "Was ist ein Vampir in der A-Klasse? Ein Drakuller!": a question word's question and its answer
// on one line (the question maybe wrapped from the lines before) become two lines. A question in
// quotes is a turn's.
void splitAnsweredLine(std::vector<JokeLine>& lines, std::size_t wrapWidth) {
    if (!asksDirectly(lines[0])) {
        return;
    }
    std::size_t k = 0;
    while (k + 1 < headingLines && k + 1 < lines.size() && lines[k].text.find('?') == none &&
           !isOneOf(lastChar(lines[k]), ".!:\"") &&
           wrapped(lines[k], lines[k + 1], wrapWidth, false)) {
        ++k;
    }
    JokeLine& line = lines[k];
    const std::string& text = line.text;
    std::size_t mark = text.find('?');
    bool quoted = std::any_of(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(k),
                              [](const JokeLine& above) { return above.text.find('"') != none; });
    if (mark == none || quoted || text.find('"') < mark ||
        columnAt(line, mark + 1) > questionWidth) {
        return;
    }
    std::size_t answer = text.find_first_not_of(" \t", mark + 1);
    if (answer == none || answer == mark + 1) {
        return;
    }
    // The answer may begin with a dash that sets it apart ("? - Sehr sehr vorsichtig!"); a dash
    // alone is none.
    std::string rest(trimmed(text.substr(answer)));
    std::size_t first = rest.find_first_not_of("- \t");
    if (first == none || rest.back() == '?' ||
        latin1::isSmall(static_cast<unsigned char>(rest[first]))) {
        return;
    }
    JokeLine below{text.substr(answer), columnAt(line, answer), true};
    line.text.erase(mark + 1);
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(k + 1), below);
}

// An answer's "A: " goes where the question had no "F: " to read it with.
void dropAnswerMark(std::vector<JokeLine>& part) {
    JokeLine& line = part[0];
    std::size_t at = firstText(line.text);
    if (line.text.compare(at, 2, "A:") == 0 && at + 2 < line.text.size() &&
        isBlankChar(line.text[at + 2])) {
        std::size_t text = line.text.find_first_not_of(" \t", at + 2);
        line.column = columnAt(line, text);
        line.text.erase(0, text);
        line.marked = true;
    }
}

// A short question at the start (wrapped over a few lines, maybe) and its answer below: the
// answer becomes a solution part. A further question in the answer stays there, and its own
// answer becomes the next part, unless it is asked inside a quotation.
void askQuestions(Joke& joke, std::size_t wrapWidth) {
    if (joke.size() != 1) {
        return;
    }
    // The lines as a riddle would have them; the joke stays as it is where none comes of them.
    std::vector<JokeLine> lines = joke[0];
    splitAnsweredLine(lines, wrapWidth);
    auto nextText = [&](std::size_t k) {
        do {
            ++k;
        } while (k < lines.size() && isBlankLine(lines[k]));
        return k;
    };
    // An answer is no question, no turn of a dialogue (unless a question word asked) and no
    // quotation's source ("-- Name").
    auto answered = [&](std::size_t k, std::size_t asked) {
        std::size_t next = nextText(k);
        return isQuestion(lines[k]) && next < lines.size() && !isQuestion(lines[next]) &&
               (!startsTurn(lines[next]) || asksDirectly(lines[asked])) && !isSource(lines[next]);
    };
    // A question wrapped over lines: none of them ends a sentence before the last.
    std::size_t first = 0;
    while (first + 1 < headingLines && first + 1 < lines.size() && !isQuestion(lines[first]) &&
           !isOneOf(lastChar(lines[first]), ".!:\"") &&
           wrapped(lines[first], lines[first + 1], wrapWidth, false)) {
        ++first;
    }
    if ((startsTurn(lines[0]) && !asksDirectly(lines[0])) || !answered(first, 0)) {
        return;
    }
    Joke riddle(1);
    std::size_t quotes = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (k == first + 1 || (k > first && quotes % 2 == 0 && answered(k - 1, k - 1))) {
            riddle.emplace_back();
            quotes = 0;
        }
        riddle.back().push_back(lines[k]);
        quotes +=
            static_cast<std::size_t>(std::count(lines[k].text.begin(), lines[k].text.end(), '"'));
    }
    for (std::size_t p = 0; p < riddle.size(); ++p) {
        dropBlankEnds(riddle[p]);
        if (p > 0) {
            dedent(riddle[p]);
            dropAnswerMark(riddle[p]);
        }
    }
    joke = std::move(riddle);
}

std::string normalized(const JokeLine& line) {
    std::string words;
    for (std::size_t k = 0; k < line.text.size(); ++k) {
        if (!isBlankChar(line.text[k])) {
            words += k > 0 && isBlankChar(line.text[k - 1]) && !words.empty() ? " " : "";
            words += line.text[k];
        }
    }
    return words;
}

// A colon, question mark, exclamation mark or full stop at the end, maybe inside quotes.
bool endsSentence(const JokeLine& line) {
    std::string_view text = trimmed(line.text);
    std::size_t end = text.find_last_not_of("\"')");
    return end != none && isOneOf(text[end], ":?!.");
}

// The keys of a joke's first lines, one, two and three of them, for counting how many jokes
// open alike.
std::vector<std::string> openingsOf(const std::vector<JokeLine>& lines) {
    std::vector<std::string> keys;
    std::string key;
    for (std::size_t count = 0; count < headingLines && count < lines.size(); ++count) {
        key += normalized(lines[count]) + '\n';
        keys.push_back(key);
    }
    return keys;
}

// How many of a source's jokes must open alike for a heading: a tenth of them, three at least.
std::size_t sharedBy(std::size_t jokes) {
    return std::max<std::size_t>(headingJokes, (jokes + headingShare - 1) / headingShare);
}

// How many first lines of each joke make its heading: the lines that at least a tenth of the
// source's jokes (three at least) open with alike, and the lines that end its sentence. With
// leadIn, a joke without such lines has its first line for heading where it ends in a colon.
std::vector<std::size_t> headingsOf(const std::vector<Joke>& jokes, bool leadIn) {
    std::vector<std::vector<std::string>> keys;
    std::unordered_map<std::string, std::size_t> openings;
    for (const Joke& joke : jokes) {
        keys.push_back(openingsOf(joke[0]));
        for (const std::string& key : keys.back()) {
            ++openings[key];
        }
    }
    std::size_t share = sharedBy(jokes.size());
    std::vector<std::size_t> headings;
    for (std::size_t n = 0; n < jokes.size(); ++n) {
        const std::vector<JokeLine>& lines = jokes[n][0];
        std::size_t count = 0;
        while (count < keys[n].size() && !isBlankLine(lines[count]) &&
               openings[keys[n][count]] >= share) {
            ++count;
        }
        if (count == 0 && leadIn && !lines.empty() && lastChar(lines[0]) == ':' &&
            widthOf(lines[0]) <= questionWidth) {
            count = 1;
        }
        while (count > 0 && count < headingLines && count < lines.size() &&
               !isBlankLine(lines[count]) && !endsSentence(lines[count - 1])) {
            ++count;
        }
        headings.push_back(jokes[n].size() == 1 ? count : 0);
    }
    return headings;
}

// The lines after a heading, without the blank lines and the indent they had below it.
std::vector<JokeLine> belowHeading(const std::vector<JokeLine>& lines, std::size_t heading) {
    std::vector<JokeLine> rest(lines.begin() + static_cast<std::ptrdiff_t>(heading), lines.end());
    dropBlankEnds(rest);
    dedent(rest);
    return rest;
}

// The lead-in of a joke's first line ("Sprachlexikon-Namen: " before "WOLFGANG - ..."), with the
// blank after its colon; empty without one or without text after it.
std::string leadInOf(const Joke& joke) {
    if (joke[0].empty()) {
        return std::string();
    }
    const std::string& text = joke[0][0].text;
    std::size_t at = firstText(text);
    std::size_t mark = speakerMark(text, at);
    bool more = mark > 0 && text.find_first_not_of(" \t", at + mark) != none;
    return more ? text.substr(at, mark) : std::string();
}

// A lead-in that opens many jokes of the source goes like a heading of its own line: the
// category's name says it.
void dropLeadIns(std::vector<Joke>& jokes) {
    std::unordered_map<std::string, std::size_t> leadIns;
    for (const Joke& joke : jokes) {
        ++leadIns[leadInOf(joke)];
    }
    std::size_t share = sharedBy(jokes.size());
    for (Joke& joke : jokes) {
        std::string leadIn = leadInOf(joke);
        if (!leadIn.empty() && leadIns[leadIn] >= share) {
            JokeLine& line = joke[0][0];
            std::size_t text =
                line.text.find_first_not_of(" \t", firstText(line.text) + leadIn.size());
            line.column = columnAt(line, text);
            line.text.erase(0, text);
        }
    }
}

// A heading that opens many jokes of the source becomes each one's question, its rest the
// answer; or it goes, where the category's name says it already, and so does a lead-in.
void editHeadings(std::vector<Joke>& jokes, Heading heading) {
    std::vector<std::size_t> headings = headingsOf(jokes, heading == Heading::question);
    for (std::size_t n = 0; n < jokes.size(); ++n) {
        std::vector<JokeLine>& lines = jokes[n][0];
        std::vector<JokeLine> rest = belowHeading(lines, headings[n]);
        if (headings[n] == 0 || rest.empty()) {
            continue;
        }
        lines.resize(headings[n]);
        if (heading == Heading::question) {
            jokes[n].push_back(std::move(rest));
        } else {
            lines = std::move(rest);
        }
    }
    if (heading == Heading::drop) {
        dropLeadIns(jokes);
    }
}

// "a) Toaster        c) Glühbirne": an item, blanks, and a second item, parted into two lines
// with the same indent.
bool splitColumns(const JokeLine& line, JokeLine& left, JokeLine& right) {
    const std::string& text = line.text;
    std::size_t at = firstText(text);
    if (itemMark(text, at) == 0) {
        return false;
    }
    for (std::size_t k = at; k + 1 < text.size(); ++k) {
        std::size_t end = text.find_first_not_of(" \t", k);
        if (isBlankChar(text[k]) && isBlankChar(text[k + 1]) && end != none &&
            itemMark(text, end) > 0) {
            left = {text.substr(0, k), line.column, line.marked};
            right = {text.substr(0, at) + text.substr(end), line.column, false};
            return true;
        }
    }
    return false;
}

// Items set side by side in two columns become one item a line: the left column's, then the
// right one's.
void itemsOneALine(std::vector<JokeLine>& lines) {
    std::vector<JokeLine> result;
    std::vector<JokeLine> rightColumn;
    for (std::size_t k = 0; k <= lines.size(); ++k) {
        JokeLine left;
        JokeLine right;
        if (k < lines.size() && splitColumns(lines[k], left, right)) {
            result.push_back(left);
            rightColumn.push_back(right);
            continue;
        }
        result.insert(result.end(), rightColumn.begin(), rightColumn.end());
        rightColumn.clear();
        if (k < lines.size()) {
            result.push_back(lines[k]);
        }
    }
    lines = std::move(result);
}

// Runs of blanks inside a line, which aligned columns in a fixed-width font, become one blank.
void collapseBlanks(JokeLine& line) {
    std::string& text = line.text;
    std::string result = text.substr(0, firstText(text));
    for (std::size_t k = result.size(); k < text.size(); ++k) {
        if (!isBlankChar(text[k])) {
            result += text[k];
        } else if (!isBlankChar(result.back())) {
            result += ' ';
        }
    }
    result.erase(result.find_last_not_of(" \t") + 1);
    text = std::move(result);
}

// A line drawn more with strokes and edges than written with letters and digits.
bool isDrawingLine(const std::string& text, bool& stroke) {
    std::size_t drawing = 0;
    std::size_t letters = 0;
    for (char c : text) {
        drawing += isOneOf(c, "|/\\_-=+*#<>^~") ? 1 : 0;
        letters += isWordChar(c) ? 1 : 0;
    }
    stroke = stroke || text.find_first_of("|\\") != none || text.find("/-") != none ||
             text.find("/_") != none;
    return text.find("://") == none && drawing >= strokesInADrawnLine && drawing >= letters;
}

// Two drawn lines, one with a vertical or backward stroke ("|", "\", or "/" at a horizontal
// one): a picture that needs a fixed-width font. Ruled lines, rows of stars and formulas with
// "/" for division are none.
bool isDrawing(const Joke& joke) {
    std::size_t drawn = 0;
    bool stroke = false;
    for (const std::vector<JokeLine>& part : joke) {
        for (const JokeLine& line : part) {
            bool strokeHere = false;
            if (isDrawingLine(line.text, strokeHere)) {
                ++drawn;
                stroke = stroke || strokeHere;
            }
        }
    }
    return drawn >= drawnLines && stroke;
}

// The width a joke was wrapped at: its widest line, a quotation's source ("-- Name", often set
// off by tabs) aside, and no more than a terminal's 80 columns.
std::size_t wrapWidthOf(const Joke& joke) {
    std::size_t widest = 0;
    for (const std::vector<JokeLine>& part : joke) {
        for (const JokeLine& line : part) {
            if (!isSource(line)) {
                widest = std::max(widest, widthOf(line));
            }
        }
    }
    return std::min(widest, terminalWidth);
}

} // namespace

std::uint32_t editJokes(std::vector<Joke>& jokes, const Editing& editing) {
    std::size_t before = jokes.size();
    if (editing.noDrawings) {
        jokes.erase(std::remove_if(jokes.begin(), jokes.end(), isDrawing), jokes.end());
    }
    if (editing.heading != Heading::keep) {
        editHeadings(jokes, editing.heading);
    }
    for (Joke& joke : jokes) {
        std::size_t wrapWidth = wrapWidthOf(joke);
        if (editing.questions) {
            askQuestions(joke, wrapWidth);
        }
        for (std::vector<JokeLine>& part : joke) {
            if (editing.columns) {
                itemsOneALine(part);
            }
            if (editing.flowing) {
                flow(part, wrapWidth);
            }
            if (editing.columns) {
                std::for_each(part.begin(), part.end(), collapseBlanks);
            }
        }
    }
    return static_cast<std::uint32_t>(before - jokes.size());
}
