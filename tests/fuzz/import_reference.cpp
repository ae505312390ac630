// The references of the import fuzz target: the decoding by glibc's iconv, and the records, the
// conversion and the keys of --ohne-doppelte as witz(1) states them, written from its words.
#include "import_reference.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iconv.h>
#include <locale.h>
#include <set>
#include <string_view>
#include <wctype.h>

#include "fuzz_support.h"

namespace reference {

namespace {

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

// The records and the conversion, as witz(1) states them.

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

// Reads the entries of a decoded source and converts them into a result.
class Reader {
  public:
    Reader(bool replaceUnknown, Result& result) : result(result), replaceUnknown(replaceUnknown) {}

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

    Result& result;
    bool replaceUnknown;
};

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

} // namespace

bool isLetter(char c) {
    return iswalpha_l(static_cast<unsigned char>(c), unicodeLocale()) != 0;
}

// The encoding a byte-order mark names, else UTF-8 when all of it is, or when it holds UTF-8 for
// a character from U+0080 to U+00FF or from U+0800 on (a mixed file), else Windows-1252.
Decoding decode(const Bytes& bytes) {
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

void read(const Decoding& decoding, SourceFormat format, bool replaceUnknown, Result& result) {
    Reader(replaceUnknown, result).read(format, decoding);
}

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

} // namespace reference
