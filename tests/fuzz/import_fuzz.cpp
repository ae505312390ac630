// Fuzzes witz import against references that share none of its code: glibc's iconv for the
// decoding, the rules of witz(1) written out plainly for the records and the conversion, glibc's
// character classes for the letters that make two jokes the same; and the editing rules by what
// witz(1) says they keep: every word in its order, lines joined by one blank (none after a
// hyphen), no blank before a line that its source line had not. The category is written, and
// what the core reads back from it must be the jokes expected.
//
// Input: a flags byte and an editing byte, then, with an existing category, one byte giving the
// length of its old bytes and those bytes, then, with two sources, one byte giving the length of
// the first; the rest is the (last) source.
// Flags: bits 0-1 and 7 the format (bit 7 clear: automatic, fortune, text, list; set: riddle),
// bit 2 --ersetzen, bits 3-4 the category (new, --anhaengen to an existing one,
// --ersetzen-datei, existing without either: refused), bit 5 an LF after the old bytes, bit 6
// two sources.
// Editing: bit 0 --fliesstext, bit 1 --fragen, bits 2-3 --ueberschrift (1 frage, 2 weg),
// bit 4 --spalten, bit 5 --ohne-bilder, bit 6 --ohne-doppelte, bit 7 a second category "k" with
// the old bytes; for a new category, bit 7 runs the import on real files from a working directory
// deleted meanwhile, without -C, where it must write nothing anywhere.
//
// On the memory file system the importer's own functions run (whyNotText, decode, convertSource,
// DuplicateFinder, appendJokes) and the file is written through the seam; with
// POINTEX_FUZZ_REAL_FILES=1 the whole "witz import" command runs on the disk, writer included:
// a refused import leaves every file as it was, and none creates anything outside its Witze.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <locale.h>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>
#include <wctype.h>

#include "import/convert.h"
#include "import/duplicates.h"
#include "fuzz_support.h"
#include "joke_library.h"
#include "system.h"
#include "witz.h"

using fuzz::Bytes;

namespace {

// fuzz::expectEqual with its description made only on a mismatch: most checks run many times an
// input, and the strings made for them were most of the target's allocations.
void expectEqual(const char* what, std::size_t expected, std::size_t actual) {
    if (expected != actual) {
        fuzz::expectEqual(what, expected, actual);
    }
}

void expectEqual(const char* what, const Bytes& expected, const Bytes& actual) {
    if (expected != actual) {
        fuzz::expectEqual(what, fuzz::widen(expected), fuzz::widen(actual));
    }
}

enum class Category { fresh, append, replace, refused };

struct Input {
    SourceFormat format = SourceFormat::automatic;
    bool replaceUnknown = false;
    Category category = Category::fresh;
    Editing editing;
    bool withoutDuplicates = false;
    bool otherCategory = false; // "k" holds the old bytes too
    bool away = false;          // real files: a deleted working directory, no -C
    Bytes old;
    std::vector<Bytes> sources;

    bool edited() const {
        return editing.flowing || editing.questions || editing.heading != Heading::keep ||
               editing.columns || editing.noDrawings;
    }
};

Input parse(const std::uint8_t* data, std::size_t size) {
    Input input;
    std::size_t at = 0;
    auto take = [&](std::size_t length) {
        length = std::min(length, size - at);
        Bytes bytes(reinterpret_cast<const char*>(data) + at, length);
        at += length;
        return bytes;
    };
    auto nextByte = [&]() -> unsigned { return at < size ? data[at++] : 0; };
    unsigned flags = nextByte();
    unsigned editing = nextByte();
    static const SourceFormat formats[] = {SourceFormat::automatic, SourceFormat::fortune,
                                           SourceFormat::text, SourceFormat::list};
    input.format = (flags & 128) != 0 ? SourceFormat::riddle : formats[flags & 3];
    input.replaceUnknown = (flags & 4) != 0;
    input.category = static_cast<Category>((flags >> 3) & 3);
    input.editing.flowing = (editing & 1) != 0;
    input.editing.questions = (editing & 2) != 0;
    static const Heading headings[] = {Heading::keep, Heading::question, Heading::drop,
                                       Heading::keep};
    input.editing.heading = headings[(editing >> 2) & 3];
    input.editing.columns = (editing & 16) != 0;
    input.editing.noDrawings = (editing & 32) != 0;
    input.withoutDuplicates = (editing & 64) != 0;
    bool eighth = (editing & 128) != 0;
    input.otherCategory = eighth && input.category != Category::fresh;
    input.away = eighth && input.category == Category::fresh && fuzz::realFiles();
    if (input.category != Category::fresh) {
        input.old = take(nextByte());
        if ((flags & 32) != 0) {
            input.old += '\n';
        }
    }
    if ((flags & 64) != 0) {
        input.sources.push_back(take(nextByte()));
    }
    input.sources.push_back(take(size - at));
    return input;
}

// glibc's classes and case of the characters of ISO 8859-1, as a UTF-8 locale has them.
locale_t unicodeLocale() {
    static const locale_t locale = [] {
        locale_t made = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        if (made == static_cast<locale_t>(nullptr)) {
            std::perror("newlocale C.UTF-8");
            std::abort();
        }
        return made;
    }();
    return locale;
}

bool isLetter(char c) {
    return iswalpha_l(static_cast<unsigned char>(c), unicodeLocale()) != 0;
}

// The decoding, by glibc's iconv.

// A converter of glibc from one encoding to UTF-32LE, opened once.
class Iconv {
  public:
    explicit Iconv(const char* from) : descriptor(iconv_open("UTF-32LE", from)) {
        if (descriptor == reinterpret_cast<iconv_t>(-1)) {
            std::perror(from);
            std::abort();
        }
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Converts the bytes as far as they are whole characters, appending those; returns how many
    // bytes it took.
    std::size_t convert(const char* data, std::size_t size, std::u32string& text) {
        iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(data);
        std::size_t left = size;
        for (;;) {
            char buffer[1024];
            char* out = buffer;
            std::size_t room = sizeof buffer;
            std::size_t result = iconv(descriptor, &in, &left, &out, &room);
            int error = errno;
            for (const char* c = buffer; c < out; c += 4) {
                text += character(c);
            }
            if (result != static_cast<std::size_t>(-1) || error != E2BIG) {
                return size - left;
            }
        }
    }

    // Whether the bytes are exactly one character; which, in c.
    bool oneCharacter(const char* data, std::size_t size, char32_t& c) {
        iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(data);
        std::size_t left = size;
        char buffer[8];
        char* out = buffer;
        std::size_t room = sizeof buffer;
        std::size_t result = iconv(descriptor, &in, &left, &out, &room);
        if (result == static_cast<std::size_t>(-1) || left != 0 || out != buffer + 4) {
            return false;
        }
        c = character(buffer);
        return true;
    }

  private:
    static char32_t character(const char* bytes) {
        char32_t c = 0;
        for (int k = 3; k >= 0; --k) {
            c = c << 8 | static_cast<unsigned char>(bytes[k]);
        }
        return c;
    }

    iconv_t descriptor;
};

Iconv& utf8() {
    static Iconv converter("UTF-8");
    return converter;
}

Iconv& windows1252() {
    static Iconv converter("WINDOWS-1252");
    return converter;
}

// iconv answers alike for alike bytes, and its calls took most of an input's time: its answers
// for the first bytes of a run are kept, in a table made before the first input, since libFuzzer
// takes memory that an input leaves allocated for a leak and runs that input again to find it.
class Answers {
  public:
    // The answer kept for the first bytes at data (at most `most`), or -1.
    int find(const char* data, std::size_t size, std::size_t most) {
        std::uint64_t key = keyOf(data, size, most);
        for (std::size_t slot = key % slots;; slot = (slot + 1) % slots) {
            if (keys[slot] == key) {
                return values[slot];
            }
            if (keys[slot] == 0) {
                return -1;
            }
        }
    }
    void keep(const char* data, std::size_t size, std::size_t most, int answer) {
        std::uint64_t key = keyOf(data, size, most);
        if (held * 4 >= slots * 3) {
            return;
        }
        std::size_t slot = key % slots;
        while (keys[slot] != 0 && keys[slot] != key) {
            slot = (slot + 1) % slots;
        }
        held += keys[slot] == 0 ? 1 : 0;
        keys[slot] = key;
        values[slot] = static_cast<std::int8_t>(answer);
    }

  private:
    // The bytes and their count in one number, never 0.
    static std::uint64_t keyOf(const char* data, std::size_t size, std::size_t most) {
        std::size_t count = std::min(most, size);
        std::uint64_t key = static_cast<std::uint64_t>(count + 1) << 32;
        for (std::size_t k = 0; k < count; ++k) {
            key |= static_cast<std::uint64_t>(static_cast<unsigned char>(data[k])) << (8 * k);
        }
        return key;
    }

    static constexpr std::size_t slots = std::size_t(1) << 18;
    std::vector<std::uint64_t> keys = std::vector<std::uint64_t>(slots);
    std::vector<std::int8_t> values = std::vector<std::int8_t>(slots);
    std::size_t held = 0;
};

Answers brokenLengths;
Answers characterStarts;

// How many bytes at data, at least one, are one run that is no UTF-8 (data starts no whole
// character): those that begin a character iconv takes whole once continuation bytes are added,
// else the first byte alone.
std::size_t brokenLength(const char* data, std::size_t size) {
    if (int known = brokenLengths.find(data, size, 3); known >= 0) {
        return static_cast<std::size_t>(known);
    }
    static const unsigned char seconds[] = {0x80, 0x90, 0xA0};
    std::size_t broken = 1;
    for (std::size_t length = std::min<std::size_t>(3, size); length > 1 && broken == 1; --length) {
        char candidate[4];
        std::copy(data, data + length, candidate);
        for (std::size_t whole = length + 1; whole <= 4 && broken == 1; ++whole) {
            for (unsigned char second : seconds) {
                std::fill(candidate + length, candidate + whole, '\x80');
                candidate[length] = static_cast<char>(second);
                char32_t c;
                broken = utf8().oneCharacter(candidate, whole, c) ? length : broken;
            }
        }
    }
    brokenLengths.keep(data, size, 3, static_cast<int>(broken));
    return broken;
}

// Whether iconv takes a whole UTF-8 character of one to four bytes at data.
bool characterAt(const char* data, std::size_t size) {
    if (int known = characterStarts.find(data, size, 4); known >= 0) {
        return known == 1;
    }
    bool whole = false;
    for (std::size_t length = 1; length <= 4 && length <= size && !whole; ++length) {
        char32_t c;
        whole = utf8().oneCharacter(data, length, c);
    }
    characterStarts.keep(data, size, 4, whole ? 1 : 0);
    return whole;
}

struct Decoding {
    std::u32string text;
    SourceEncoding encoding = SourceEncoding::utf8;
    bool mark = false;
    struct Run {
        std::uint32_t line;
        std::uint32_t column;
        Bytes bytes;
    };
    std::vector<Run> undecodable;
};

// Appends the characters of bytes from an offset on. Where iconv stops, a run of bytes that are
// no character stands as `undecodable`: in UTF-16 a code unit (a surrogate without its partner)
// or the odd last byte, in UTF-8 as brokenLength has it. In Windows-1252 it stops only at the
// five bytes the encoding leaves undefined (glibc refuses them), which witz(1) reads as the C1
// control characters of their values, to refuse them as such.
void decodeWith(Iconv& iconv, const Bytes& bytes, std::size_t at, Decoding& decoding,
                std::vector<Bytes>& runs) {
    while (at < bytes.size()) {
        at += iconv.convert(bytes.data() + at, bytes.size() - at, decoding.text);
        if (at == bytes.size()) {
            break;
        }
        if (decoding.encoding == SourceEncoding::windows1252) {
            decoding.text += static_cast<unsigned char>(bytes[at++]);
            continue;
        }
        // Run after run, until a character starts again (so fuzzed bytes cost one call of iconv
        // a stretch of characters, not one a run).
        do {
            std::size_t length = decoding.encoding == SourceEncoding::utf16
                                     ? std::min<std::size_t>(2, bytes.size() - at)
                                     : brokenLength(bytes.data() + at, bytes.size() - at);
            runs.push_back(bytes.substr(at, length));
            decoding.text += undecodable;
            at += length;
        } while (at < bytes.size() && decoding.encoding == SourceEncoding::utf8 &&
                 !characterAt(bytes.data() + at, bytes.size() - at));
    }
}

// Each C1 control character's meaning in Windows-1252, by iconv; the five undefined bytes keep
// their own values.
std::u32string windows1252Meanings() {
    std::u32string meanings;
    for (int byte = 0x80; byte <= 0x9F; ++byte) {
        char in = static_cast<char>(byte);
        char32_t c;
        meanings += windows1252().oneCharacter(&in, 1, c) ? c : static_cast<char32_t>(byte);
    }
    return meanings;
}

// A source's characters as witz(1) reads them: the encoding a byte-order mark names, else UTF-8
// when all of it is, or when it holds telling UTF-8 (a mixed file), else Windows-1252.
Decoding decodeByIconv(const Bytes& bytes) {
    static Iconv utf16le("UTF-16LE");
    static Iconv utf16be("UTF-16BE");
    static const std::u32string c1 = windows1252Meanings();
    Decoding decoding;
    std::vector<Bytes> runs;
    bool little = bytes.compare(0, 2, "\xFF\xFE") == 0;
    if (little || bytes.compare(0, 2, "\xFE\xFF") == 0) {
        decoding.encoding = SourceEncoding::utf16;
        decoding.mark = true;
        decodeWith(little ? utf16le : utf16be, bytes, 2, decoding, runs);
    } else {
        decoding.mark = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
        decodeWith(utf8(), bytes, decoding.mark ? 3 : 0, decoding, runs);
        // Without a mark, bytes that are no UTF-8 make the source Windows-1252, unless it holds
        // UTF-8 for a character from U+0080 to U+00FF or for one of three or four bytes (from
        // U+0800 on): then it mixes the two.
        bool telling = std::any_of(decoding.text.begin(), decoding.text.end(), [](char32_t c) {
            return c != undecodable && ((c >= 0x80 && c <= 0xFF) || c >= 0x800);
        });
        if (!runs.empty() && !decoding.mark && !telling) {
            decoding = Decoding();
            runs.clear();
            decoding.encoding = SourceEncoding::windows1252;
            decodeWith(windows1252(), bytes, 0, decoding, runs);
        }
    }
    std::uint32_t line = 1;
    std::uint32_t column = 1;
    for (char32_t& c : decoding.text) {
        if (c == undecodable) {
            decoding.undecodable.push_back({line, column, runs[decoding.undecodable.size()]});
        } else if (c >= 0x80 && c <= 0x9F) {
            c = c1[c - 0x80];
        }
        column = c == U'\n' ? 1 : column + 1;
        line += c == U'\n' ? 1 : 0;
    }
    return decoding;
}

void expectDecoding(const Decoding& expected, const Bytes& source, const DecodedSource& actual) {
    expectEqual("encoding read", static_cast<std::size_t>(expected.encoding),
                static_cast<std::size_t>(actual.encoding));
    expectEqual("byte-order mark", expected.mark, actual.byteOrderMark);
    if (expected.text != actual.text) {
        std::wstring shownExpected(expected.text.begin(), expected.text.end());
        std::wstring shownActual(actual.text.begin(), actual.text.end());
        fuzz::fail("the text decoded, against iconv's", shownExpected, shownActual);
    }
    expectEqual("runs of undecodable bytes", expected.undecodable.size(),
                actual.undecodable.size());
    for (std::size_t k = 0; k < expected.undecodable.size(); ++k) {
        const Decoding::Run& want = expected.undecodable[k];
        const UndecodableBytes& got = actual.undecodable[k];
        expectEqual("undecodable run's line", want.line, got.line);
        expectEqual("undecodable run's column", want.column, got.column);
        expectEqual("undecodable run's bytes", want.bytes, source.substr(got.offset, got.length));
    }
}

// The records and the conversion, as witz(1) states them.
namespace manual {

// What witz writes in plain form: typographic quotation marks, dashes, the ellipsis, the euro
// sign and blanks of other widths; nullptr for other characters.
const char* plainForm(char32_t c) {
    if (c == 0xAB || c == 0xBB || (c >= 0x201C && c <= 0x201F)) {
        return "\"";
    }
    if ((c >= 0x2018 && c <= 0x201B) || c == 0x2039 || c == 0x203A) {
        return "'";
    }
    if ((c >= 0x2010 && c <= 0x2015) || c == 0x2212) {
        return "-";
    }
    if (c == 0x2026) {
        return "...";
    }
    if (c == 0x20AC) {
        return "EUR";
    }
    if (c == 0xA0 || c == 0x2002 || c == 0x2003 || c == 0x2007 || c == 0x2009 || c == 0x200A ||
        c == 0x202F) {
        return " ";
    }
    return nullptr;
}

// Leerraum: blanks, tabs and the blanks witz writes plainly.
bool space(char32_t c) {
    const char* plain = plainForm(c);
    return c == U' ' || c == U'\t' || (plain != nullptr && plain[0] == ' ');
}

bool emptyLine(std::u32string_view text) {
    return std::all_of(text.begin(), text.end(), space);
}

// A line of the decoded text, seen in it.
struct Line {
    std::u32string_view text;
    std::uint32_t number;
};

// A line of an entry: the character of its line it starts at, and whether it begins a part.
struct Piece {
    const Line* line;
    std::size_t from = 0;
    bool newPart = false;
};

// The entries of a source, each a run of pieces, all in one vector.
struct Entries {
    struct Run {
        std::size_t begin;
        std::size_t end;
    };
    std::vector<Piece> pieces;
    std::vector<Run> runs;

    explicit Entries(const std::vector<Line>& lines) {
        pieces.reserve(lines.size());
        runs.reserve(lines.size() + 1);
    }
    void open() { runs.push_back({pieces.size(), pieces.size()}); }
    void add(const Piece& piece) {
        pieces.push_back(piece);
        runs.back().end = pieces.size();
    }
    const Piece* begin(const Run& run) const { return pieces.data() + run.begin; }
    const Piece* end(const Run& run) const { return pieces.data() + run.end; }
};

// The text at the start of a line after Leerraum and "F:" or "A:", and the Leerraum after it;
// npos without that mark.
std::size_t afterMark(std::u32string_view text, char32_t letter) {
    std::size_t k = 0;
    while (k < text.size() && space(text[k])) {
        ++k;
    }
    if (k + 1 >= text.size() || text[k] != letter || text[k + 1] != U':') {
        return std::u32string_view::npos;
    }
    for (k += 2; k < text.size() && space(text[k]);) {
        ++k;
    }
    return k;
}

bool question(const Piece& piece) {
    return afterMark(piece.line->text, U'F') != std::u32string_view::npos;
}

bool answer(const Piece& piece) {
    return afterMark(piece.line->text, U'A') != std::u32string_view::npos;
}

// "--", Leerraum after it allowed.
bool solutionLine(const Line& line) {
    std::u32string_view text = line.text;
    return text.substr(0, 2) == U"--" && std::all_of(text.begin() + 2, text.end(), space);
}

std::vector<Line> linesOf(const std::u32string& text) {
    std::vector<Line> lines;
    lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), U'\n')) + 1);
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = std::min(text.find(U'\n', start), text.size());
        std::size_t cut = end < text.size() && end > start && text[end - 1] == U'\r' ? 1 : 0;
        lines.push_back({std::u32string_view(text).substr(start, end - start - cut),
                         static_cast<std::uint32_t>(lines.size() + 1)});
        start = end + 1;
    }
    return lines;
}

// Fortune with a line "%", text with a line "--" or a blank line between two others, else list.
SourceFormat detected(const std::vector<Line>& lines) {
    auto percent = [](const Line& line) { return line.text == U"%"; };
    if (std::any_of(lines.begin(), lines.end(), percent)) {
        return SourceFormat::fortune;
    }
    if (std::any_of(lines.begin(), lines.end(), solutionLine)) {
        return SourceFormat::text;
    }
    auto filled = [](const Line& line) { return !emptyLine(line.text); };
    auto first = std::find_if(lines.begin(), lines.end(), filled);
    auto last = std::find_if(lines.rbegin(), lines.rend(), filled).base();
    return first < last &&
                   std::any_of(first, last, [](const Line& line) { return emptyLine(line.text); })
               ? SourceFormat::text
               : SourceFormat::list;
}

Entries fortuneEntries(const std::vector<Line>& lines) {
    Entries entries(lines);
    entries.open();
    for (const Line& line : lines) {
        if (line.text == U"%") {
            entries.open();
        } else {
            entries.add({&line});
        }
    }
    // A "%" that opens or closes the file parts nothing.
    if (lines.empty() || lines.back().text == U"%") {
        entries.runs.pop_back();
    }
    if (!lines.empty() && lines.front().text == U"%") {
        entries.runs.erase(entries.runs.begin());
    }
    return entries;
}

// Paragraphs of the lines that are not blank; a line "--" starts a part with the paragraph's
// next line, and is gone; a paragraph of such lines only is no entry.
Entries paragraphEntries(const std::vector<Line>& lines) {
    Entries entries(lines);
    bool inParagraph = false;
    bool part = false;
    for (const Line& line : lines) {
        if (emptyLine(line.text)) {
            inParagraph = false;
            part = false;
        } else if (solutionLine(line)) {
            part = true;
        } else {
            if (!inParagraph) {
                entries.open();
                inParagraph = true;
                part = false;
            }
            entries.add({&line, 0, part});
            part = false;
        }
    }
    return entries;
}

Entries listEntries(const std::vector<Line>& lines) {
    Entries entries(lines);
    for (const Line& line : lines) {
        entries.open();
        entries.add({&line});
    }
    return entries;
}

// Riddles one line after another: a question after an answer begins the next entry.
Entries riddleLineEntries(const std::vector<Line>& lines) {
    Entries entries(lines);
    bool answered = false;
    for (const Line& line : lines) {
        Piece piece{&line};
        if (entries.runs.empty() || (answered && question(piece))) {
            entries.open();
            answered = false;
        }
        entries.add(piece);
        answered = answered || answer(piece);
    }
    return entries;
}

bool emptyEntry(const Entries& entries, const Entries::Run& run) {
    return std::all_of(entries.begin(run), entries.end(run),
                       [](const Piece& piece) { return emptyLine(piece.line->text); });
}

bool riddle(const Entries& entries, const Entries::Run& run) {
    const Piece* first = std::find_if(entries.begin(run), entries.end(run), question);
    return first != entries.end(run) && std::any_of(first + 1, entries.end(run), answer);
}

Entries entriesOf(const std::vector<Line>& lines, SourceFormat found, bool riddles) {
    Entries entries = found == SourceFormat::fortune ? fortuneEntries(lines)
                      : found == SourceFormat::text  ? paragraphEntries(lines)
                      : riddles                      ? riddleLineEntries(lines)
                                                     : listEntries(lines);
    // Blank lines at an entry's start and end are no part of it.
    for (Entries::Run& run : entries.runs) {
        while (run.end > run.begin && emptyLine(entries.pieces[run.end - 1].line->text)) {
            --run.end;
        }
        while (run.begin < run.end && emptyLine(entries.pieces[run.begin].line->text)) {
            ++run.begin;
        }
    }
    return entries;
}

bool mostlyRiddles(const Entries& entries) {
    std::size_t filled = 0;
    std::size_t riddles = 0;
    for (const Entries::Run& run : entries.runs) {
        filled += emptyEntry(entries, run) ? 0 : 1;
        riddles += riddle(entries, run) ? 1 : 0;
    }
    return riddles * 2 > filled;
}

// A riddle loses its blank lines, its marks with the Leerraum around them and the Leerraum at
// the start of its other lines; each answer begins a part.
void shape(const Piece* begin, const Piece* end, std::vector<Piece>& riddle) {
    riddle.clear();
    for (const Piece* piece = begin; piece != end; ++piece) {
        std::u32string_view text = piece->line->text;
        if (emptyLine(text)) {
            continue;
        }
        std::size_t from = afterMark(text, U'F');
        bool answers = answer(*piece);
        if (answers) {
            from = afterMark(text, U'A');
        } else if (from == std::u32string_view::npos) {
            from = 0;
            while (space(text[from])) {
                ++from;
            }
        }
        riddle.push_back({piece->line, from, !riddle.empty() && (answers || piece->newPart)});
    }
}

// A character the import stops at, or (undecodable) bytes.
struct Problem {
    std::uint32_t record;
    std::uint32_t line;
    std::uint32_t column;
    Bytes bytes;
};

// What one or more sources come to without editing.
struct Result {
    std::vector<Bytes> jokes;
    std::uint32_t skipped = 0;
    std::uint32_t mapped = 0;
    std::uint32_t unknown = 0;     // stopped at, or replaced
    std::uint32_t undecoded = 0;   // of those, runs of undecodable bytes
    std::vector<Problem> problems; // the first that stop the import, as many as witz keeps
    std::vector<SourceReading> readings;
};

class Reader {
  public:
    explicit Reader(bool replaceUnknown) : replaceUnknown(replaceUnknown) {}

    void read(SourceFormat format, const Decoding& decoding) {
        std::vector<Line> lines = linesOf(decoding.text);
        bool riddles = format == SourceFormat::riddle;
        SourceFormat found =
            format == SourceFormat::automatic || riddles ? detected(lines) : format;
        Entries entries = entriesOf(lines, found, riddles);
        // Without a format, one of mostly riddles is read as riddles; a list as riddle lines.
        if (format == SourceFormat::automatic) {
            Entries asRiddles =
                found == SourceFormat::list ? entriesOf(lines, found, true) : entries;
            if (mostlyRiddles(asRiddles)) {
                riddles = true;
                entries = std::move(asRiddles);
            }
        }
        result.readings.push_back(
            {riddles ? SourceFormat::riddle : found, decoding.encoding, decoding.mark});
        std::size_t run = 0;
        std::vector<Piece> shaped;
        for (std::size_t n = 0; n < entries.runs.size(); ++n) {
            const Entries::Run& entry = entries.runs[n];
            if (emptyEntry(entries, entry)) {
                ++result.skipped;
                continue;
            }
            const Piece* begin = entries.begin(entry);
            const Piece* end = entries.end(entry);
            if (riddles && riddle(entries, entry)) {
                shape(begin, end, shaped);
                begin = shaped.data();
                end = shaped.data() + shaped.size();
            }
            result.jokes.emplace_back();
            for (const Piece* piece = begin; piece != end; ++piece) {
                if (piece != begin) {
                    result.jokes.back() += piece->newPart ? '\x12' : '\x11';
                }
                convert(*piece, static_cast<std::uint32_t>(n + 1), decoding, run,
                        result.jokes.back());
            }
        }
    }

    Result result;

  private:
    void convert(const Piece& piece, std::uint32_t record, const Decoding& decoding,
                 std::size_t& run, Bytes& joke) {
        std::u32string_view line = piece.line->text;
        for (std::size_t k = piece.from; k < line.size(); ++k) {
            char32_t c = line[k];
            const char* plain = plainForm(c);
            bool control = c == 0x00 || c == 0x0D || c == 0x0F || c == 0x11 || c == 0x12 ||
                           c == 0x1A || (c >= 0x80 && c <= 0x9F);
            if (plain != nullptr) {
                joke += plain;
                ++result.mapped;
            } else if (c <= 0xFF && !control) {
                joke += static_cast<char>(c);
            } else {
                ++result.unknown;
                result.undecoded += c == undecodable ? 1 : 0;
                joke += '?';
                auto column = static_cast<std::uint32_t>(k + 1);
                if (!replaceUnknown && result.problems.size() < problemsKept) {
                    result.problems.push_back(
                        {record, piece.line->number, column,
                         c == undecodable ? bytesAt(decoding, piece.line->number, column, run)
                                          : Bytes()});
                }
            }
        }
    }

    // The runs come in the order of the text, and so are met.
    static Bytes bytesAt(const Decoding& decoding, std::uint32_t line, std::uint32_t column,
                         std::size_t& run) {
        while (run < decoding.undecodable.size() && (decoding.undecodable[run].line != line ||
                                                     decoding.undecodable[run].column != column)) {
            ++run;
        }
        return run < decoding.undecodable.size() ? decoding.undecodable[run++].bytes : Bytes();
    }

    bool replaceUnknown;
};

// What no source of jokes can be: strfile's index, the documents, PDF files and pictures named by
// their formats' signatures, and bytes 0x00 outside UTF-16.
std::wstring whyNotText(const Bytes& bytes) {
    static const std::pair<Bytes, const wchar_t*> signatures[] = {
        {"PK\x03\x04", L"Word- oder OpenOffice-Dokument"},
        {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", L"Word-Dokument"},
        {"{\\rtf", L"RTF-Dokument"},
        {"%PDF-", L"PDF-Dokument"},
        {"\x89PNG\r\n\x1A\n", L"Bild (PNG)"},
        {"\xFF\xD8\xFF", L"Bild (JPEG)"},
        {"GIF87a", L"Bild (GIF)"},
        {"GIF89a", L"Bild (GIF)"},
    };
    for (const auto& [start, kind] : signatures) {
        if (bytes.compare(0, start.size(), start) == 0) {
            return kind;
        }
    }
    if (bytes.size() >= 24 && bytes.compare(0, 3, Bytes(3, '\0')) == 0 &&
        (bytes[3] == 1 || bytes[3] == 2) && bytes[20] == '%') {
        return L"strfile";
    }
    bool utf16 = bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0;
    std::size_t nul = bytes.find('\0');
    return !utf16 && nul != Bytes::npos ? L"Offset " + std::to_wstring(nul) + L"." : L"";
}

// The letters and digits of a joke (², ³, ¹, ¼, ½ and ¾ among them), small, by glibc.
std::wstring keyOf(const char* line, std::size_t size) {
    static const std::wstring numbers = L"\u00b2\u00b3\u00b9\u00bc\u00bd\u00be";
    std::wstring key;
    for (std::size_t i = 0; i < size; ++i) {
        auto c = static_cast<wint_t>(static_cast<unsigned char>(line[i]));
        if (iswalnum_l(c, unicodeLocale()) != 0 ||
            numbers.find(static_cast<wchar_t>(c)) != std::wstring::npos) {
            key += static_cast<wchar_t>(towlower_l(c, unicodeLocale()));
        }
    }
    return key;
}

// The jokes of the new ones that no joke of the categories compared with, nor an earlier new
// one, has the letters of; a joke without letters repeats none.
std::vector<Bytes> withoutRepeats(const std::vector<Bytes>& categories,
                                  const std::vector<Bytes>& jokes) {
    std::set<std::wstring> keys;
    for (const Bytes& bytes : categories) {
        Bytes shown = bytes.substr(0, bytes.find('\x1A'));
        for (const Bytes& line : fuzz::split(shown, '\n')) {
            keys.insert(keyOf(line.data(), line.size()));
        }
    }
    std::vector<Bytes> kept;
    for (const Bytes& joke : jokes) {
        std::wstring key = keyOf(joke.data(), joke.size());
        if (key.empty() || keys.insert(key).second) {
            kept.push_back(joke);
        }
    }
    return kept;
}

} // namespace manual

// The editing rules, by what they keep.

bool blank(char c) {
    return c == ' ' || c == '\t';
}

// The words of a joke line: what stands between blanks, line breaks and part separators, and a
// word broken after a letter's hyphen counted as two, as --fliesstext may join them.
// The word that starts at or after pos, pos moved behind it; empty after the last.
std::string_view nextWord(const Bytes& joke, std::size_t& pos) {
    auto apart = [](char c) { return blank(c) || c == '\x11' || c == '\x12'; };
    while (pos < joke.size() && apart(joke[pos])) {
        ++pos;
    }
    std::size_t start = pos;
    while (pos < joke.size() && !apart(joke[pos])) {
        bool hyphen = joke[pos] == '-' && pos > start && isLetter(joke[pos - 1]);
        ++pos;
        if (hyphen) {
            break;
        }
    }
    return std::string_view(joke).substr(start, pos - start);
}

std::vector<std::string_view> wordsOf(const Bytes& joke) {
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    for (std::string_view word = nextWord(joke, pos); !word.empty(); word = nextWord(joke, pos)) {
        words.push_back(word);
    }
    return words;
}

enum class Kept { same, suffix, sorted, included };

bool wordsKept(const Bytes& plain, const Bytes& edited, Kept kept) {
    if (kept == Kept::same) {
        std::size_t at = 0;
        std::size_t editedAt = 0;
        for (;;) {
            std::string_view word = nextWord(plain, at);
            if (word != nextWord(edited, editedAt)) {
                return false;
            }
            if (word.empty()) {
                return true;
            }
        }
    }
    std::vector<std::string_view> before = wordsOf(plain);
    std::vector<std::string_view> after = wordsOf(edited);
    if (kept == Kept::sorted || kept == Kept::included) {
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
    }
    return kept == Kept::sorted ? after == before
           : kept == Kept::suffix
               ? after.size() <= before.size() &&
                     std::equal(after.rbegin(), after.rend(), before.rbegin())
               : std::includes(before.begin(), before.end(), after.begin(), after.end());
}

Bytes trimmedEnd(Bytes text) {
    while (!text.empty() && blank(text.back())) {
        text.pop_back();
    }
    return text;
}

// The lines first to last joined as --fliesstext joins them: one blank between them, the blanks
// at the ends gone, none after a letter and "-".
Bytes joined(const std::vector<Bytes>& lines, std::size_t first, std::size_t last) {
    Bytes text = lines[first];
    for (std::size_t k = first + 1; k <= last; ++k) {
        text = trimmedEnd(text);
        Bytes next = trimmedEnd(lines[k]);
        next.erase(0, std::min(next.find_first_not_of(" \t"), next.size()));
        std::size_t size = text.size();
        bool hyphen = size >= 2 && text[size - 1] == '-' && isLetter(text[size - 2]);
        text += (hyphen ? "" : " ") + next;
    }
    return text;
}

// Each part's lines are the plain part's lines, some joined as --fliesstext joins them.
bool flowedFrom(const Bytes& plain, const Bytes& edited) {
    std::vector<Bytes> plainParts = fuzz::split(plain, '\x12');
    std::vector<Bytes> editedParts = fuzz::split(edited, '\x12');
    if (plainParts.size() != editedParts.size()) {
        return false;
    }
    for (std::size_t p = 0; p < plainParts.size(); ++p) {
        std::vector<Bytes> lines = fuzz::split(plainParts[p], '\x11');
        std::size_t k = 0;
        for (const Bytes& line : fuzz::split(editedParts[p], '\x11')) {
            std::size_t last = k;
            // Joined lines grow with each line after the second, and no blank line is joined.
            while (last < lines.size() && joined(lines, k, last) != line &&
                   (last == k || joined(lines, k, last).size() <= line.size()) &&
                   (last + 1 == lines.size() || trimmedEnd(lines[last + 1]) != "")) {
                ++last;
            }
            if (last == lines.size() || joined(lines, k, last) != line) {
                return false;
            }
            k = last + 1;
        }
        if (k != lines.size()) {
            return false;
        }
    }
    return true;
}

// A line that begins with blanks comes from a line of the joke that began with them (or with
// more, of which an indent common to the part went) and holds its first word.
bool blanksFromSource(const Bytes& plain, const Bytes& edited) {
    bool indented = !edited.empty() && blank(edited[0]);
    for (std::size_t i = 1; i < edited.size() && !indented; ++i) {
        indented = (edited[i - 1] == '\x11' || edited[i - 1] == '\x12') && blank(edited[i]);
    }
    if (!indented) {
        return true;
    }
    std::vector<Bytes> sources;
    for (const Bytes& part : fuzz::split(plain, '\x12')) {
        for (const Bytes& line : fuzz::split(part, '\x11')) {
            sources.push_back(line);
        }
    }
    for (const Bytes& part : fuzz::split(edited, '\x12')) {
        for (const Bytes& line : fuzz::split(part, '\x11')) {
            std::size_t indent = std::min(line.find_first_not_of(" \t"), line.size());
            if (indent == 0) {
                continue;
            }
            Bytes blanks = line.substr(0, indent);
            Bytes word = line.substr(indent, line.find_first_of(" \t", indent) - indent);
            bool found = std::any_of(sources.begin(), sources.end(), [&](const Bytes& source) {
                std::size_t sourceIndent = std::min(source.find_first_not_of(" \t"), source.size());
                return sourceIndent >= indent &&
                       source.compare(sourceIndent - indent, indent, blanks) == 0 &&
                       source.find(word, sourceIndent) != Bytes::npos;
            });
            if (!found) {
                return false;
            }
        }
    }
    return true;
}

// The edited jokes against the plain ones: --ohne-bilder leaves whole jokes out and no other rule
// does; the other rules keep every word (--fliesstext, --fragen and a heading made the question
// in their order; a heading that goes takes the first words; --spalten sets a line's items one
// under the other); --fliesstext alone joins lines as witz(1) says; and no rule puts a blank
// before a line. Each edited joke is paired with the next plain one whose words it keeps, the
// drawings left out between them.
void expectEditing(const Input& input, const std::vector<Bytes>& plain,
                   const std::vector<Bytes>& edited, std::uint32_t drawings) {
    expectEqual("jokes and drawings left out", plain.size(), edited.size() + drawings);
    Kept kept = input.editing.heading == Heading::drop ? Kept::suffix : Kept::same;
    if (input.editing.columns) {
        kept = kept == Kept::suffix ? Kept::included : Kept::sorted;
    }
    bool flowingAlone = input.editing.flowing && !input.editing.questions &&
                        input.editing.heading == Heading::keep && !input.editing.columns;
    std::size_t n = 0;
    std::uint32_t left = 0;
    for (const Bytes& joke : edited) {
        while (n < plain.size() && left < drawings && !wordsKept(plain[n], joke, kept)) {
            ++n;
            ++left;
        }
        if (n == plain.size() || !wordsKept(plain[n], joke, kept)) {
            fuzz::fail("the words of a joke", n < plain.size() ? fuzz::widen(plain[n]) : L"",
                       fuzz::widen(joke));
        }
        if (flowingAlone && !flowedFrom(plain[n], joke)) {
            fuzz::fail("--fliesstext: lines joined by one blank, none after a hyphen",
                       fuzz::widen(plain[n]), fuzz::widen(joke));
        }
        if (!blanksFromSource(plain[n], joke)) {
            fuzz::fail("a blank before a line that its source line had not", fuzz::widen(plain[n]),
                       fuzz::widen(joke));
        }
        ++n;
    }
}

// The jokes of category 1, each as its parts (0x11 kept), read in one pass by the core.
std::vector<std::vector<std::wstring>> readBack(std::uint32_t expectedCount) {
    JokeLibrary library;
    expectEqual("categories", 1, library.getCategoryCount());
    std::uint32_t count = library.getJokeCount(1);
    expectEqual("joke count", expectedCount, count);
    std::vector<std::uint32_t> numbers(count);
    for (std::uint32_t n = 0; n < count; ++n) {
        numbers[n] = n + 1;
    }
    std::vector<std::vector<std::wstring>> jokes;
    library.readJokes(1, numbers, [&](std::uint32_t, const std::vector<std::wstring>& parts) {
        jokes.push_back(parts);
    });
    expectEqual("jokes read", count, jokes.size());
    return jokes;
}

std::vector<std::wstring> partsOf(const Bytes& joke) {
    std::vector<std::wstring> parts;
    for (const Bytes& part : fuzz::split(joke, '\x12')) {
        parts.push_back(fuzz::widen(part));
    }
    return parts;
}

// Whether the parts read are the joke's, split at 0x12: the check of every joke, made without
// copies.
bool sameParts(const Bytes& joke, const std::vector<std::wstring>& parts) {
    std::size_t at = 0;
    for (std::size_t p = 0; p < parts.size(); ++p) {
        for (wchar_t c : parts[p]) {
            if (at == joke.size() || static_cast<unsigned char>(joke[at++]) != c) {
                return false;
            }
        }
        if (p + 1 < parts.size() && (at == joke.size() || joke[at++] != '\x12')) {
            return false;
        }
    }
    return at == joke.size() && !parts.empty();
}

void expectParts(const std::string& what, const std::vector<std::wstring>& expected,
                 const std::vector<std::wstring>& actual) {
    if (expected == actual) {
        return;
    }
    fuzz::expectEqual(what + ": parts", expected.size(), actual.size());
    for (std::size_t p = 0; p < expected.size(); ++p) {
        fuzz::expectEqual(what + " part " + std::to_string(p + 1), expected[p], actual[p]);
    }
}

// Appending is refused onto old bytes that hold 0x1A (the new jokes would be hidden) or end in
// a lone CR (the new line end would make CR LF of it).
bool oldBytesRefused(const Input& input) {
    return input.category == Category::append && (input.old.find('\x1A') != Bytes::npos ||
                                                  (!input.old.empty() && input.old.back() == '\r'));
}

// The categories --ohne-doppelte compares with: the category's own old jokes when appending, and
// "k".
std::vector<Bytes> comparedCategories(const Input& input) {
    std::vector<Bytes> categories;
    if (input.category == Category::append) {
        categories.push_back(input.old);
    }
    if (input.otherCategory) {
        categories.push_back(input.old);
    }
    return categories;
}

// The importer's conversion against the references; returns the jokes it would write (before
// --ohne-doppelte), nothing when it stops.
bool expectConversion(const Input& input, const std::vector<Decoding>& decodings,
                      const manual::Result& expected, std::vector<Bytes>& jokes) {
    Conversion conversion;
    for (std::size_t k = 0; k < input.sources.size(); ++k) {
        const DecodedSource decoded = decode(input.sources[k]);
        expectDecoding(decodings[k], input.sources[k], decoded);
        SourceReading reading = convertDecoded(input.sources[k], decoded, L"q", input.format,
                                               input.replaceUnknown, conversion, input.editing);
        expectEqual("format read", static_cast<std::size_t>(expected.readings[k].format),
                    static_cast<std::size_t>(reading.format));
    }
    expectEqual("entries skipped", expected.skipped, conversion.skipped);
    expectEqual("characters in plain form", expected.mapped, conversion.mapped);
    expectEqual("characters refused or replaced", expected.unknown,
                input.replaceUnknown
                    ? conversion.replaced
                    : std::size_t(conversion.refusedCharacters) + conversion.refusedBytes);
    expectEqual("runs of undecodable bytes refused", input.replaceUnknown ? 0 : expected.undecoded,
                conversion.refusedBytes);
    expectEqual("problems kept", expected.problems.size(), conversion.problems.size());
    for (std::size_t k = 0; k < conversion.problems.size(); ++k) {
        const manual::Problem& want = expected.problems[k];
        const ImportProblem& got = conversion.problems[k];
        expectEqual("a problem's entry", want.record, got.record);
        expectEqual("a problem's line", want.line, got.line);
        expectEqual("a problem's column", want.column, got.column);
        expectEqual("a problem's bytes", want.bytes, got.bytes);
    }
    // Where a character stops the import, witz writes nothing: its jokes do not matter.
    if (conversion.stopped()) {
        return false;
    }
    jokes = conversion.jokes;
    if (input.edited()) {
        expectEditing(input, expected.jokes, jokes, conversion.drawings);
        return true;
    }
    expectEqual("jokes", expected.jokes.size(), jokes.size());
    for (std::size_t k = 0; k < jokes.size(); ++k) {
        if (expected.jokes[k] != jokes[k]) {
            fuzz::expectEqual("joke " + std::to_string(k + 1), fuzz::widen(expected.jokes[k]),
                              fuzz::widen(jokes[k]));
        }
    }
    return true;
}

// The importer's own functions, the file's bytes written through the seam; returns whether the
// import writes.
bool importInMemory(const Input& input, std::vector<Bytes> jokes, Bytes& bytes) {
    if (input.withoutDuplicates) {
        DuplicateFinder finder;
        std::vector<Bytes> categories = comparedCategories(input);
        for (const Bytes& category : categories) {
            finder.addFile(category);
        }
        std::uint32_t imported = finder.addJokes(jokes);
        auto reread = [&](std::uint32_t category, std::string& read) {
            read = category == imported ? appendJokes(Bytes(), jokes) : categories[category];
            return true;
        };
        std::vector<bool> keep(jokes.size(), true);
        for (const Duplicate& duplicate : finder.duplicates(reread)) {
            if (duplicate.copy.category == imported) {
                keep[duplicate.copy.joke - 1] = false;
            }
        }
        std::vector<Bytes> kept;
        for (std::size_t k = 0; k < jokes.size(); ++k) {
            if (keep[k]) {
                kept.push_back(jokes[k]);
            }
        }
        jokes = kept;
    }
    if (jokes.empty()) {
        return false;
    }
    bytes = appendJokes(input.category == Category::append ? input.old : Bytes(), jokes);
    fuzz::writeJokeFile("j", bytes);
    return true;
}

// Every file and folder under a folder, with the bytes of the files.
std::map<std::filesystem::path, Bytes> snapshot(const std::filesystem::path& folder) {
    std::map<std::filesystem::path, Bytes> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        Bytes& bytes = entries[entry.path()];
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        } else {
            bytes = "(folder)";
        }
    }
    return entries;
}

std::set<std::filesystem::path> namesAtRoot() {
    std::set<std::filesystem::path> names;
    for (const auto& entry : std::filesystem::directory_iterator("/")) {
        names.insert(entry.path());
    }
    return names;
}

void ignoreOutput(host::Stream, const std::wstring&) {}

const std::filesystem::path& root() {
    static const std::filesystem::path folder =
        std::filesystem::path(fuzz::jokeFolder()).parent_path();
    return folder;
}

// Where witz looks when no folder is named and the working directory is gone: a user's own
// collection that is not there.
std::vector<host::Collection> nowhere() {
    return {{(root() / "eigene").wstring(), false}};
}

// The whole command on disk; returns whether it wrote the category, and its bytes.
bool importOnDisk(const Input& input, Bytes& written) {
    // A folder named in the environment would be where an import without -C writes.
    static const bool unset = unsetenv("WITZ_ORDNER") == 0;
    (void)unset;
    host::write = ignoreOutput;
    host::fallbackCollections = nowhere;
    std::vector<std::wstring> args = {L"import", L"--nach", L"j"};
    if (!input.away) {
        args.insert(args.begin(), {L"-C", root().wstring()});
    }
    static const wchar_t* const formats[] = {nullptr, L"--format=fortune", L"--format=text",
                                             L"--format=liste", L"--format=raetsel"};
    if (formats[static_cast<int>(input.format)] != nullptr) {
        args.push_back(formats[static_cast<int>(input.format)]);
    }
    const std::pair<bool, const wchar_t*> options[] = {
        {input.replaceUnknown, L"--ersetzen"},
        {input.category == Category::append, L"--anhaengen"},
        {input.category == Category::replace, L"--ersetzen-datei"},
        {input.editing.flowing, L"--fliesstext"},
        {input.editing.questions, L"--fragen"},
        {input.editing.heading == Heading::question, L"--ueberschrift=frage"},
        {input.editing.heading == Heading::drop, L"--ueberschrift=weg"},
        {input.editing.columns, L"--spalten"},
        {input.editing.noDrawings, L"--ohne-bilder"},
        {input.withoutDuplicates, L"--ohne-doppelte"},
    };
    for (const auto& [given, option] : options) {
        if (given) {
            args.push_back(option);
        }
    }
    for (std::size_t k = 0; k < input.sources.size(); ++k) {
        std::filesystem::path path = root() / ("quelle" + std::to_string(k));
        std::ofstream(path, std::ios::binary | std::ios::trunc) << input.sources[k];
        args.push_back(path.wstring());
    }
    if (input.away) {
        std::filesystem::create_directory(root() / "weg");
        std::filesystem::current_path(root() / "weg");
        std::filesystem::remove(root() / "weg");
    }
    const std::set<std::filesystem::path> atRoot =
        input.away ? namesAtRoot() : std::set<std::filesystem::path>();
    const auto before = snapshot(root());
    int status = runWitz(args);
    std::filesystem::current_path(root());
    auto after = snapshot(root());
    if (input.away && namesAtRoot() != atRoot) {
        fuzz::fail("an import without a collection", L"nothing made at /", L"something made");
    }
    if (status != success) {
        expectEqual("exit status of a refused import", failed, status);
        if (after != before) {
            fuzz::fail("the files after a refused import", L"as before", L"changed");
        }
        return false;
    }
    // Only the category is new or changed: the writer's temporary file is gone, and nothing was
    // made outside Witze.
    written = after[root() / "Witze" / "j"];
    after.erase(root() / "Witze" / "j");
    auto unchanged = before;
    unchanged.erase(root() / "Witze" / "j");
    if (after != unchanged) {
        fuzz::fail("the files after an import", L"the category alone new or changed",
                   L"more changed");
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InWorkingDirectory inFolder;
    const Input input = parse(data, size);

    manual::Reader reader(input.replaceUnknown);
    bool notText = false;
    std::vector<Decoding> decodings;
    for (const Bytes& source : input.sources) {
        std::wstring why = manual::whyNotText(source);
        std::wstring actual = whyNotText(source, L"quelle");
        if (why.empty() != actual.empty() || actual.find(why) == std::wstring::npos) {
            fuzz::fail("why a source is no text", why, actual);
        }
        notText = notText || !why.empty();
        decodings.push_back(decodeByIconv(source));
        reader.read(input.format, decodings.back());
    }
    const manual::Result& expected = reader.result;
    std::vector<Bytes> jokes;
    bool converted = expectConversion(input, decodings, expected, jokes);
    const std::vector<Bytes> kept =
        input.withoutDuplicates ? manual::withoutRepeats(comparedCategories(input), jokes) : jokes;

    // The old category as the core reads it, before the import.
    fuzz::clearJokeFolder();
    std::vector<std::vector<std::wstring>> oldJokes;
    if (input.category != Category::fresh) {
        fuzz::writeJokeFile("j", input.old);
        if (input.category == Category::append && !oldBytesRefused(input)) {
            std::size_t lineEnds = std::count(input.old.begin(), input.old.end(), '\n');
            oldJokes = readBack(static_cast<std::uint32_t>(lineEnds + 1));
            // An empty file, or one ending in LF, ends in an empty joke that the first new
            // joke fills.
            if (oldJokes.back() == std::vector<std::wstring>{L""}) {
                oldJokes.pop_back();
            }
        }
    }
    const bool refused = input.category == Category::refused || oldBytesRefused(input) || notText ||
                         !converted || kept.empty() || input.away;
    Bytes bytes;
    bool written = false;
    if (fuzz::realFiles()) {
        if (input.otherCategory) {
            fuzz::writeJokeFile("k", input.old);
        }
        written = importOnDisk(input, bytes);
    } else if (!refused) {
        written = importInMemory(input, jokes, bytes);
    }
    expectEqual("import written", !refused, written);
    if (written) {
        if (bytes.empty() || bytes.back() == '\n') {
            fuzz::fail("the file's last byte", L"not LF",
                       fuzz::widen(bytes.substr(bytes.size() - 1)));
        }
        if (input.category == Category::append &&
            bytes.compare(0, input.old.size(), input.old) != 0) {
            fuzz::fail("the old bytes at the start of the file", fuzz::widen(input.old),
                       fuzz::widen(bytes));
        }
        if (input.otherCategory) {
            fuzz::clearJokeFolder();
            fuzz::writeJokeFile("j", bytes);
        }
        std::vector<std::vector<std::wstring>> read =
            readBack(static_cast<std::uint32_t>(oldJokes.size() + kept.size()));
        for (std::size_t n = 0; n < oldJokes.size(); ++n) {
            expectParts("old joke " + std::to_string(n + 1), oldJokes[n], read[n]);
        }
        for (std::size_t k = 0; k < kept.size(); ++k) {
            const std::vector<std::wstring>& parts = read[oldJokes.size() + k];
            if (!sameParts(kept[k], parts)) {
                expectParts("new joke " + std::to_string(k + 1), partsOf(kept[k]), parts);
            }
        }
    }
    inFolder.expectFilesClosed();
    return 0;
}
