// Fuzzes witz import by the round trip: the sources are converted, the category written, and
// what the core reads back from it must be exactly the non-empty records of the sources after
// the conversion, worked out here by a plain reference of the import's rules.
//
// Input: a flags byte, then, with an existing category, one byte giving the length of its old
// bytes and those bytes, then, with two sources, one byte giving the length of the first; the
// rest is the (last) source. Flags: bits 0-1 and 7 the format (bit 7 clear: automatic, fortune,
// text, list; set: riddle), bit 2 --ersetzen, bits 3-4 the category (new, --anhaengen to an
// existing one, --ersetzen-datei, existing without either: refused), bit 5 an LF after the old
// bytes, bit 6 two sources.
//
// On the memory file system the refusal of a source, the conversion and the file's bytes are
// taken from the importer's own functions (whyNotText, convertSource, appendJokes) and written
// through the seam; with POINTEX_FUZZ_REAL_FILES=1 the whole "witz import" command runs on the
// disk, writer included, and a refused import must leave the folder as it was, byte for byte.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "import/convert.h"
#include "fuzz_support.h"
#include "latin1.h"
#include "joke_library.h"
#include "system.h"
#include "witz.h"

using fuzz::Bytes;
using fuzz::expectEqual;

namespace {

enum class Category { fresh, append, replace, refused };

struct Input {
    SourceFormat format = SourceFormat::automatic;
    bool replaceUnknown = false;
    Category category = Category::fresh;
    Bytes old;
    std::vector<Bytes> sources;
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
    auto lengthByte = [&]() -> std::size_t { return at < size ? data[at++] : 0; };
    unsigned flags = size > 0 ? data[at++] : 0;
    static const SourceFormat formats[] = {SourceFormat::automatic, SourceFormat::fortune,
                                           SourceFormat::text, SourceFormat::list};
    input.format = (flags & 128) != 0 ? SourceFormat::riddle : formats[flags & 3];
    input.replaceUnknown = (flags & 4) != 0;
    input.category = static_cast<Category>((flags >> 3) & 3);
    if (input.category != Category::fresh) {
        input.old = take(lengthByte());
        if ((flags & 32) != 0) {
            input.old += '\n';
        }
    }
    if ((flags & 64) != 0) {
        input.sources.push_back(take(lengthByte()));
    }
    input.sources.push_back(take(size - at));
    return input;
}

// The reference: the import's rules, one source at a time.

// UTF-16 starts with its byte-order mark, in either order.
bool utf16(const Bytes& bytes) {
    return bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0;
}

// Not a source of jokes: a NUL byte outside UTF-16. strfile's index (three NUL bytes, the
// version 1 or 2, the delimiter "%" at byte 20) gets its own message.
bool strfileIndex(const Bytes& bytes) {
    return bytes.size() >= 24 && bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 0 &&
           (bytes[3] == 1 || bytes[3] == 2) && bytes[20] == '%';
}

bool notText(const Bytes& bytes) {
    return !utf16(bytes) && bytes.find('\0') != Bytes::npos;
}

// UTF-16 after its byte-order mark: a high and a low surrogate make one character; a surrogate
// without its partner and an odd last byte are U+FFFD.
std::u32string fromUtf16(const Bytes& bytes) {
    bool bigEndian = bytes[0] == '\xFE';
    std::vector<char32_t> units;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        unsigned first = static_cast<unsigned char>(bytes[i]);
        unsigned second = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(bigEndian ? first * 256 + second : second * 256 + first);
    }
    auto high = [](char32_t u) { return u >= 0xD800 && u < 0xDC00; };
    auto low = [](char32_t u) { return u >= 0xDC00 && u < 0xE000; };
    std::u32string text;
    for (std::size_t k = 0; k < units.size(); ++k) {
        if (high(units[k]) && k + 1 < units.size() && low(units[k + 1])) {
            text += 0x10000 + (units[k] - 0xD800) * 0x400 + (units[k + 1] - 0xDC00);
            ++k;
        } else {
            text += high(units[k]) || low(units[k]) ? 0xFFFD : units[k];
        }
    }
    if (bytes.size() % 2 != 0) {
        text += 0xFFFD;
    }
    return text;
}

// UTF-8 when all of it is (a byte-order mark dropped), checked against the table of well-formed
// sequences: a lead byte's allowed second bytes. Returns false at the first ill-formed sequence.
bool fromUtf8(const Bytes& bytes, std::u32string& text) {
    std::size_t i = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (i < bytes.size()) {
        unsigned b = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 0;
        unsigned low = 0x80, high = 0xBF;
        char32_t value = 0;
        if (b < 0x80) {
            length = 1, value = b;
        } else if (b >= 0xC2 && b <= 0xDF) {
            length = 2, value = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3, value = b & 0x0F;
            low = b == 0xE0 ? 0xA0 : 0x80;
            high = b == 0xED ? 0x9F : 0xBF;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4, value = b & 0x07;
            low = b == 0xF0 ? 0x90 : 0x80;
            high = b == 0xF4 ? 0x8F : 0xBF;
        }
        bool valid = length > 0 && i + length <= bytes.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            unsigned next = static_cast<unsigned char>(bytes[i + k]);
            valid = next >= (k == 1 ? low : 0x80) && next <= (k == 1 ? high : 0xBF);
            value = value << 6 | (next & 0x3F);
        }
        if (!valid) {
            return false;
        }
        text += value;
        i += length;
    }
    return true;
}

// Windows-1252 where ISO 8859-1 has its C1 control characters; 0x81, 0x8D, 0x8F, 0x90 and 0x9D
// it leaves undefined.
const std::map<char32_t, char32_t> windows1252 = {
    {0x80, 0x20AC}, {0x82, 0x201A}, {0x83, 0x0192}, {0x84, 0x201E}, {0x85, 0x2026}, {0x86, 0x2020},
    {0x87, 0x2021}, {0x88, 0x02C6}, {0x89, 0x2030}, {0x8A, 0x0160}, {0x8B, 0x2039}, {0x8C, 0x0152},
    {0x8E, 0x017D}, {0x91, 0x2018}, {0x92, 0x2019}, {0x93, 0x201C}, {0x94, 0x201D}, {0x95, 0x2022},
    {0x96, 0x2013}, {0x97, 0x2014}, {0x98, 0x02DC}, {0x99, 0x2122}, {0x9A, 0x0161}, {0x9B, 0x203A},
    {0x9C, 0x0153}, {0x9E, 0x017E}, {0x9F, 0x0178}};

// The characters of a source: UTF-16 with a byte-order mark, else UTF-8, else one per byte; in
// each, a C1 control character that Windows-1252 defines is read as its character there.
std::u32string characters(const Bytes& bytes, SourceEncoding& encoding) {
    std::u32string text;
    if (utf16(bytes)) {
        encoding = SourceEncoding::utf16;
        text = fromUtf16(bytes);
    } else if (fromUtf8(bytes, text)) {
        encoding = SourceEncoding::utf8;
    } else {
        encoding = SourceEncoding::windows1252;
        text.assign(reinterpret_cast<const unsigned char*>(bytes.data()),
                    reinterpret_cast<const unsigned char*>(bytes.data()) + bytes.size());
    }
    for (char32_t& c : text) {
        auto defined = c >= 0x80 && c <= 0x9F ? windows1252.find(c) : windows1252.end();
        c = defined != windows1252.end() ? defined->second : c;
    }
    return text;
}

const std::map<char32_t, Bytes> plainForms = {
    {0x201E, "\""}, {0x201C, "\""},  {0x201D, "\""},  {0x201F, "\""}, {0xAB, "\""},  {0xBB, "\""},
    {0x201A, "'"},  {0x2018, "'"},   {0x2019, "'"},   {0x201B, "'"},  {0x2039, "'"}, {0x203A, "'"},
    {0x2010, "-"},  {0x2011, "-"},   {0x2012, "-"},   {0x2013, "-"},  {0x2014, "-"}, {0x2015, "-"},
    {0x2212, "-"},  {0x2026, "..."}, {0x20AC, "EUR"}, {0xA0, " "},    {0x2002, " "}, {0x2003, " "},
    {0x2007, " "},  {0x2009, " "},   {0x200A, " "},   {0x202F, " "}};

bool blank(char32_t c) {
    return c == U' ' || c == U'\t' || (plainForms.count(c) != 0 && plainForms.at(c) == " ");
}

bool blankLine(const std::u32string& line) {
    return std::all_of(line.begin(), line.end(), blank);
}

std::u32string withoutIndent(const std::u32string& line) {
    return std::u32string(std::find_if_not(line.begin(), line.end(), blank), line.end());
}

// The text after a question "F:" or an answer "A:" that begins the line (blanks before and after
// the mark dropped), or false.
bool afterMark(const std::u32string& line, char32_t letter, std::u32string& rest) {
    std::u32string text = withoutIndent(line);
    if (text.size() < 2 || text[0] != letter || text[1] != U':') {
        return false;
    }
    rest = withoutIndent(text.substr(2));
    return true;
}

bool marked(const std::u32string& line, char32_t letter) {
    std::u32string rest;
    return afterMark(line, letter, rest);
}

// A record's lines, and for each whether a solution part starts with it.
struct Record {
    std::vector<std::u32string> lines;
    std::vector<bool> parts;

    void add(const std::u32string& line, bool part = false) {
        lines.push_back(line);
        parts.push_back(part);
    }
};

// A record that holds a question and after it an answer is a riddle.
bool isRiddle(const Record& record) {
    auto first = std::find_if(record.lines.begin(), record.lines.end(),
                              [](const std::u32string& line) { return marked(line, U'F'); });
    return first != record.lines.end() &&
           std::any_of(first, record.lines.end(),
                       [](const std::u32string& line) { return marked(line, U'A'); });
}

// A riddle's blank lines go, every answer starts a solution part, and the lines lose their
// marks and indent.
Record riddleOf(const Record& record) {
    if (!isRiddle(record)) {
        return record;
    }
    Record riddle;
    for (std::size_t k = 0; k < record.lines.size(); ++k) {
        std::u32string rest;
        if (blankLine(record.lines[k])) {
            continue;
        }
        bool answer = afterMark(record.lines[k], U'A', rest);
        if (!answer && !afterMark(record.lines[k], U'F', rest)) {
            rest = withoutIndent(record.lines[k]);
        }
        riddle.add(rest, !riddle.lines.empty() && (answer || record.parts[k]));
    }
    return riddle;
}

struct Reference {
    explicit Reference(bool replaceUnknown) : replaceUnknown(replaceUnknown) {}
    bool replaceUnknown;
    bool stopped = false; // a character that fits no joke file, without --ersetzen
    bool refused = false; // a source that is no text
    std::size_t mapped = 0;
    std::size_t unknown = 0; // refused or replaced characters
    std::vector<Bytes> jokes;
    std::vector<SourceReading> readings;

    void convert(const std::u32string& line, Bytes& joke) {
        for (char32_t c : line) {
            auto plain = plainForms.find(c);
            if (plain != plainForms.end()) {
                joke += plain->second;
                ++mapped;
            } else if (c > 0xFF || (c >= 0x80 && c <= 0x9F) || c == 0x00 || c == 0x0D ||
                       c == 0x0F || c == 0x11 || c == 0x12 || c == 0x1A) {
                stopped = stopped || !replaceUnknown;
                ++unknown;
                joke += '?';
            } else {
                joke += static_cast<char>(c);
            }
        }
    }

    // A record empty or only blank is skipped. That is decided before a riddle loses its marks:
    // "F:" and "A:" alone make a joke of an empty question and an empty answer.
    void add(const Record& record, bool riddles) {
        if (std::all_of(record.lines.begin(), record.lines.end(), blankLine)) {
            return;
        }
        const Record shaped = riddles ? riddleOf(record) : record;
        Bytes joke;
        for (std::size_t k = 0; k < shaped.lines.size(); ++k) {
            if (k > 0) {
                joke += shaped.parts[k] ? '\x12' : '\x11';
            }
            convert(shaped.lines[k], joke);
        }
        jokes.push_back(joke);
    }

    void source(const Bytes& bytes, SourceFormat format) {
        refused = refused || notText(bytes);
        SourceReading reading{format, SourceEncoding::utf8};
        std::u32string text = characters(bytes, reading.encoding);
        std::vector<std::u32string> lines;
        for (std::size_t start = 0; start < text.size();) {
            std::size_t end = std::min(text.find(U'\n', start), text.size());
            std::size_t cut = end < text.size() && end > start && text[end - 1] == U'\r' ? 1 : 0;
            lines.push_back(text.substr(start, end - start - cut));
            start = end + 1;
        }
        bool riddles = format == SourceFormat::riddle;
        SourceFormat found = format == SourceFormat::automatic || riddles ? detect(lines) : format;
        auto read = [&](bool asRiddles) {
            std::vector<Record> records = found == SourceFormat::fortune ? fortune(lines)
                                          : found == SourceFormat::text  ? paragraphs(lines)
                                          : asRiddles                    ? riddleLines(lines)
                                                                         : list(lines);
            // A record's blank lines at its start and end are no part of its joke.
            for (Record& record : records) {
                while (!record.lines.empty() && blankLine(record.lines.back())) {
                    record.lines.pop_back();
                    record.parts.pop_back();
                }
                while (!record.lines.empty() && blankLine(record.lines.front())) {
                    record.lines.erase(record.lines.begin());
                    record.parts.erase(record.parts.begin());
                }
            }
            return records;
        };
        std::vector<Record> records = read(riddles);
        // Without a format, a source whose records are mostly riddles is read as riddles.
        if (format == SourceFormat::automatic && mostlyRiddles(read(true))) {
            riddles = true;
            records = read(true);
        }
        for (const Record& record : records) {
            add(record, riddles);
        }
        reading.format = riddles ? SourceFormat::riddle : found;
        readings.push_back(reading);
    }

    static bool mostlyRiddles(const std::vector<Record>& records) {
        std::size_t filled = 0;
        std::size_t riddles = 0;
        for (const Record& record : records) {
            filled += std::all_of(record.lines.begin(), record.lines.end(), blankLine) ? 0 : 1;
            riddles += isRiddle(record) ? 1 : 0;
        }
        return riddles > 0 && 2 * riddles > filled;
    }

    // Fortune with a line "%"; text when a blank line stands between two lines that are not;
    // else a list.
    // A line "--", blanks after it allowed.
    static bool solutionMark(const std::u32string& line) {
        std::size_t end = line.find_last_not_of(U" \t\u00A0\u2002\u2003\u2007\u2009\u200A\u202F");
        return line.substr(0, end + 1) == U"--";
    }

    static SourceFormat detect(const std::vector<std::u32string>& lines) {
        if (std::count(lines.begin(), lines.end(), U"%") > 0) {
            return SourceFormat::fortune;
        }
        if (std::any_of(lines.begin(), lines.end(), solutionMark)) {
            return SourceFormat::text;
        }
        auto first = std::find_if_not(lines.begin(), lines.end(), blankLine);
        auto last = std::find_if_not(lines.rbegin(), lines.rend(), blankLine).base();
        return first < last && std::any_of(first, last, blankLine) ? SourceFormat::text
                                                                   : SourceFormat::list;
    }

    // Records between lines holding only "%".
    static std::vector<Record> fortune(const std::vector<std::u32string>& lines) {
        std::vector<Record> records(1);
        for (const std::u32string& line : lines) {
            if (line == U"%") {
                records.emplace_back();
            } else {
                records.back().add(line);
            }
        }
        return records;
    }

    // Paragraphs between blank lines; a line "--" (blanks after it allowed) before a line of
    // the paragraph other than its first starts a solution part there.
    static std::vector<Record> paragraphs(std::vector<std::u32string> lines) {
        std::vector<Record> records(1);
        bool pending = false;
        lines.push_back(U"");
        for (const std::u32string& line : lines) {
            if (blankLine(line)) {
                records.emplace_back();
                pending = false;
            } else if (solutionMark(line)) {
                pending = true;
            } else {
                records.back().add(line, pending && !records.back().lines.empty());
                pending = false;
            }
        }
        return records;
    }

    // Riddles one line after another: a question after an answer starts the next record.
    static std::vector<Record> riddleLines(const std::vector<std::u32string>& lines) {
        std::vector<Record> records(1);
        bool answered = false;
        for (const std::u32string& line : lines) {
            if (answered && marked(line, U'F')) {
                records.emplace_back();
                answered = false;
            }
            answered = answered || marked(line, U'A');
            records.back().add(line);
        }
        return records;
    }

    static std::vector<Record> list(const std::vector<std::u32string>& lines) {
        std::vector<Record> records(lines.size());
        for (std::size_t k = 0; k < lines.size(); ++k) {
            records[k].add(lines[k]);
        }
        return records;
    }
};

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

void expectParts(const std::string& what, const std::vector<std::wstring>& expected,
                 const std::vector<std::wstring>& actual) {
    expectEqual(what + ": parts", expected.size(), actual.size());
    for (std::size_t p = 0; p < expected.size(); ++p) {
        expectEqual(what + " part " + std::to_string(p + 1), expected[p], actual[p]);
    }
}

// The names and bytes of the files in the joke folder.
std::map<std::wstring, Bytes> snapshot() {
    std::map<std::wstring, Bytes> files;
    for (const auto& entry : std::filesystem::directory_iterator(fuzz::jokeFolder())) {
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename().wstring()] =
            Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

void ignoreOutput(host::Stream, const std::string&) {}

// The whole command on disk; returns whether it wrote the category, and its bytes.
bool importOnDisk(const Input& input, Bytes& written) {
    static const std::wstring root =
        std::filesystem::path(fuzz::jokeFolder()).parent_path().wstring();
    host::terminal.write = ignoreOutput;
    std::vector<std::wstring> args = {L"import", L"-C", root, L"--nach", L"j"};
    static const wchar_t* const formats[] = {nullptr, L"--format=fortune", L"--format=text",
                                             L"--format=liste", L"--format=raetsel"};
    if (formats[static_cast<int>(input.format)] != nullptr) {
        args.push_back(formats[static_cast<int>(input.format)]);
    }
    if (input.replaceUnknown) {
        args.push_back(L"--ersetzen");
    }
    if (input.category == Category::append) {
        args.push_back(L"--anhaengen");
    } else if (input.category == Category::replace) {
        args.push_back(L"--ersetzen-datei");
    }
    for (std::size_t k = 0; k < input.sources.size(); ++k) {
        std::wstring path = root + L"/quelle" + std::to_wstring(k);
        std::ofstream(std::filesystem::path(path), std::ios::binary | std::ios::trunc)
            << input.sources[k];
        args.push_back(path);
    }
    std::map<std::wstring, Bytes> before = snapshot();
    int status = runWitz(args);
    if (status != success) {
        expectEqual("exit status of a refused import", failed, status);
        if (snapshot() != before) {
            fuzz::fail("the folder after a refused import", L"as before", L"changed");
        }
        return false;
    }
    // The writer's temporary file is gone again.
    std::map<std::wstring, Bytes> after = snapshot();
    expectEqual("files in the folder after the import", 1, after.size());
    written = after[L"j"];
    return true;
}

// Appending is refused onto old bytes that hold 0x1A (the new jokes would be hidden) or end in
// a lone CR (the new line end would make CR LF of it).
bool oldBytesRefused(const Input& input) {
    return input.category == Category::append && (input.old.find('\x1A') != Bytes::npos ||
                                                  (!input.old.empty() && input.old.back() == '\r'));
}

// Why the importer refuses a source that is no text must name the first NUL byte, or strfile.
void expectRefusal(const Bytes& source, std::size_t k) {
    std::wstring why = whyNotText(source, L"quelle");
    std::wstring expected = !notText(source) ? L""
                            : strfileIndex(source)
                                ? L"strfile"
                                : L"Offset " + std::to_wstring(source.find('\0')) + L".";
    if (expected.empty() != why.empty() || why.find(expected) == std::wstring::npos) {
        fuzz::fail("why source " + std::to_string(k + 1) + " is no text", expected, why);
    }
}

// The importer's own refusals and conversion, the file's bytes written through the seam;
// returns whether the import would write.
bool importInMemory(const Input& input, const Reference& reference, Bytes& bytes) {
    for (std::size_t k = 0; k < input.sources.size(); ++k) {
        expectRefusal(input.sources[k], k);
    }
    if (input.category == Category::refused || oldBytesRefused(input) || reference.refused) {
        return false;
    }
    Conversion conversion;
    for (std::size_t k = 0; k < input.sources.size(); ++k) {
        SourceReading reading =
            convertSource(input.sources[k], L"q", input.format, input.replaceUnknown, conversion);
        expectEqual("format read", static_cast<std::size_t>(reference.readings[k].format),
                    static_cast<std::size_t>(reading.format));
        expectEqual("encoding read", static_cast<std::size_t>(reference.readings[k].encoding),
                    static_cast<std::size_t>(reading.encoding));
    }
    expectEqual("import stopped by a character", reference.stopped, !conversion.problems.empty());
    expectEqual("characters in plain form", reference.mapped, conversion.mapped);
    expectEqual("characters refused or replaced", reference.unknown,
                input.replaceUnknown ? conversion.replaced : conversion.problems.size());
    if (!conversion.problems.empty() || conversion.jokes.empty()) {
        return false;
    }
    bytes = appendJokes(input.category == Category::append ? input.old : Bytes(), conversion.jokes);
    fuzz::writeJokeFile("j", bytes);
    return true;
}

// The words of a joke line: what stands between blanks, line breaks and part separators.
std::vector<Bytes> wordsOf(const Bytes& joke) {
    std::vector<Bytes> words(1);
    for (char c : joke) {
        if (c == ' ' || c == '\t' || c == '\x11' || c == '\x12') {
            if (!words.back().empty()) {
                words.emplace_back();
            }
        } else {
            words.back() += c;
            // A word broken after its hyphen at a line's end goes on in the next line's first
            // word ("IQ-" and "Test" join as "IQ-Test"): a hyphen after a letter ends a word.
            const Bytes& word = words.back();
            if (c == '-' && word.size() >= 2 &&
                latin1::isLetter(static_cast<unsigned char>(word[word.size() - 2]))) {
                words.emplace_back();
            }
        }
    }
    if (words.back().empty()) {
        words.pop_back();
    }
    return words;
}

// How a rule keeps the words of a joke: all in their order (answers may lose their "A:"), all
// but the first ones, all in another order, or some of them.
enum class Kept { same, suffix, sorted, included };

// An answer's "A:", which --fragen may take away, counts as no word.
std::vector<Bytes> withoutAnswerMarks(std::vector<Bytes> words) {
    words.erase(std::remove(words.begin(), words.end(), Bytes("A:")), words.end());
    return words;
}

// Whether the words of an edited joke are those of the joke without the rule, as that rule
// keeps them.
bool wordsKept(const Bytes& plain, const Bytes& edited, Kept kept) {
    std::vector<Bytes> before = withoutAnswerMarks(wordsOf(plain));
    std::vector<Bytes> after = withoutAnswerMarks(wordsOf(edited));
    if (kept == Kept::sorted || kept == Kept::included) {
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
    }
    return kept == Kept::same || kept == Kept::sorted ? after == before
           : kept == Kept::suffix
               ? after.size() <= before.size() &&
                     std::equal(after.rbegin(), after.rend(), before.rbegin())
               : std::includes(before.begin(), before.end(), after.begin(), after.end());
}

// No editing rule loses or reorders a word of a record: joining lines, asking questions and
// making a heading the question keep them as they were; --spalten sets the items of a line one
// under the other, in another order; a heading that goes takes the first words with it; and
// --ohne-bilder leaves whole records out and the others as they were.
void expectWordsKept(const Input& input) {
    Editing flowing, questions, question, drop, columns, drawings, all;
    flowing.flowing = all.flowing = true;
    questions.questions = all.questions = true;
    question.heading = Heading::question;
    drop.heading = all.heading = Heading::drop;
    columns.columns = all.columns = true;
    drawings.noDrawings = true;
    const std::tuple<const char*, const Editing*, Kept> rules[] = {
        {"--fliesstext", &flowing, Kept::same},
        {"--fragen", &questions, Kept::same},
        {"--ueberschrift frage", &question, Kept::same},
        {"--ueberschrift weg", &drop, Kept::suffix},
        {"--spalten", &columns, Kept::sorted},
        {"--ohne-bilder", &drawings, Kept::same},
        {"all rules but --ohne-bilder", &all, Kept::included}};
    for (const Bytes& source : input.sources) {
        Conversion plain;
        convertSource(source, L"q", input.format, input.replaceUnknown, plain);
        for (const auto& [name, editing, kept] : rules) {
            Conversion edited;
            convertSource(source, L"q", input.format, input.replaceUnknown, edited, *editing);
            expectEqual(std::string(name) + ": jokes and drawings left out", plain.jokes.size(),
                        edited.jokes.size() + edited.drawings);
            // A drawing left out is a joke of the plain conversion skipped here.
            std::size_t n = 0;
            for (const Bytes& joke : edited.jokes) {
                while (editing->noDrawings && n < plain.jokes.size() && plain.jokes[n] != joke) {
                    ++n;
                }
                if (n == plain.jokes.size() || !wordsKept(plain.jokes[n], joke, kept)) {
                    fuzz::fail(std::string(name) + ": the words of a joke",
                               n < plain.jokes.size() ? fuzz::widen(plain.jokes[n]) : L"",
                               fuzz::widen(joke));
                }
                ++n;
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InWorkingDirectory inFolder;
    const Input input = parse(data, size);
    Reference reference(input.replaceUnknown);
    for (const Bytes& source : input.sources) {
        reference.source(source, input.format);
    }

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

    Bytes bytes;
    bool written =
        fuzz::realFiles() ? importOnDisk(input, bytes) : importInMemory(input, reference, bytes);
    const bool refused = input.category == Category::refused || oldBytesRefused(input) ||
                         reference.refused || reference.stopped || reference.jokes.empty();
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
        std::vector<std::vector<std::wstring>> jokes =
            readBack(static_cast<std::uint32_t>(oldJokes.size() + reference.jokes.size()));
        for (std::size_t n = 0; n < oldJokes.size(); ++n) {
            expectParts("old joke " + std::to_string(n + 1), oldJokes[n], jokes[n]);
        }
        for (std::size_t k = 0; k < reference.jokes.size(); ++k) {
            expectParts("new joke " + std::to_string(k + 1), partsOf(reference.jokes[k]),
                        jokes[oldJokes.size() + k]);
        }
    }
    expectWordsKept(input);
    inFolder.expectFilesClosed();
    return 0;
}
