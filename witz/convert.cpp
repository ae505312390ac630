// Conversion of fortune files and plain text into joke file lines, and file name rules.
#include "convert.h"

#include <algorithm>
#include <cwctype>

#include "library/utf8.h"

namespace {

constexpr char lineBreakByte = 0x11;
constexpr char partSeparatorByte = 0x12;

// Windows-1252's characters for the bytes 0x80 to 0x9F. The five bytes it leaves undefined keep
// their own values, C1 control characters, which the import refuses.
const char16_t windows1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// C1 control characters are read as the Windows-1252 characters of their bytes: in a source that
// is no UTF-8 they are those bytes, and in a Unicode source they are nearly always Windows-1252
// characters that went through a conversion as ISO 8859-1 (U+0092 for the apostrophe ’).
std::u32string fromC1(std::u32string text) {
    for (char32_t& c : text) {
        if (c >= 0x80 && c <= 0x9F) {
            c = windows1252Character(static_cast<unsigned char>(c));
        }
    }
    return text;
}

bool hasUtf16Mark(const std::string& bytes) {
    return bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0;
}

// UTF-16 after its byte-order mark; an unpaired surrogate becomes U+FFFD, which no joke file
// can hold.
std::u32string fromUtf16(const std::string& bytes, bool bigEndian) {
    std::u32string text;
    text.reserve(bytes.size() / 2);
    auto unit = [&](std::size_t i) {
        auto first = static_cast<unsigned char>(bytes[i]);
        auto second = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? first << 8 | second : second << 8 | first);
    };
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        char32_t value = unit(i);
        if (value >= 0xD800 && value <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) <= 0xDFFF) {
            value = 0x10000 + ((value - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (value >= 0xD800 && value <= 0xDFFF) {
            value = 0xFFFD;
        }
        text += value;
    }
    if (bytes.size() % 2 != 0) {
        text += 0xFFFD;
    }
    return text;
}

// The whole source as characters: UTF-16 after its byte-order mark (Notepad's "Unicode"), else
// UTF-8 when it is valid (a leading byte-order mark dropped), else Windows-1252, which Notepad
// calls "ANSI" and which holds all of ISO 8859-1's printable characters.
std::u32string decode(const std::string& bytes, SourceEncoding& encoding) {
    if (hasUtf16Mark(bytes)) {
        encoding = SourceEncoding::utf16;
        return fromC1(fromUtf16(bytes, bytes[0] == '\xFE'));
    }
    encoding = SourceEncoding::utf8;
    std::u32string text;
    text.reserve(bytes.size());
    std::size_t i = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    while (i < bytes.size()) {
        char32_t value = 0;
        std::size_t length = decodeUtf8(data + i, bytes.size() - i, value);
        if (length == 0) {
            // Each byte as the character of its value; fromC1 turns 0x80 to 0x9F into Windows-1252.
            encoding = SourceEncoding::windows1252;
            text.clear();
            for (char c : bytes) {
                text += static_cast<unsigned char>(c);
            }
            break;
        }
        text += value;
        i += length;
    }
    return fromC1(text);
}

// The plain form of a common typographic character, or nullptr.
const char* plainForm(char32_t c) {
    switch (c) {
    case 0x201E:
    case 0x201C:
    case 0x201D:
    case 0x201F:
    case 0x00AB:
    case 0x00BB:
        return "\"";
    case 0x201A:
    case 0x2018:
    case 0x2019:
    case 0x201B:
    case 0x2039:
    case 0x203A:
        return "'";
    case 0x2010:
    case 0x2011:
    case 0x2012:
    case 0x2013:
    case 0x2014:
    case 0x2015:
    case 0x2212:
        return "-";
    case 0x2026:
        return "...";
    case 0x20AC:
        return "EUR";
    case 0x00A0:
    case 0x2002:
    case 0x2003:
    case 0x2007:
    case 0x2009:
    case 0x200A:
    case 0x202F:
        return " ";
    default:
        return nullptr;
    }
}

// Bytes that would end the file (0x1A), split or break the line (0x12, 0x11, a CR that joins
// the LF after it), cut the text shown (0x00) or break it in the About texts (0x0F); and the C1
// control characters 0x80 to 0x9F, which Pointex shows as nothing.
bool isFormatByte(char32_t c) {
    return c == 0x00 || c == 0x0D || c == 0x0F || c == 0x11 || c == 0x12 || c == 0x1A ||
           (c >= 0x80 && c <= 0x9F);
}

struct Line {
    std::u32string text;
    std::uint32_t number;
};

// Lines split at LF, a CR before the LF dropped; no line after a final LF.
std::vector<Line> splitLines(const std::u32string& text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    std::uint32_t number = 1;
    while (start < text.size()) {
        std::size_t end = text.find(U'\n', start);
        std::size_t next = end == std::u32string::npos ? text.size() : end + 1;
        if (end == std::u32string::npos) {
            end = text.size();
        } else if (end > start && text[end - 1] == U'\r') {
            --end;
        }
        lines.push_back({text.substr(start, end - start), number++});
        start = next;
    }
    return lines;
}

bool isBlank(char32_t c) {
    return c == U' ' || c == U'\t' || c == 0xA0 || c == 0x2002 || c == 0x2003 || c == 0x2007 ||
           c == 0x2009 || c == 0x200A || c == 0x202F;
}

bool isBlankLine(const std::u32string& line) {
    return std::all_of(line.begin(), line.end(), isBlank);
}

std::u32string trimmedEnd(const std::u32string& line) {
    std::size_t end = line.size();
    while (end > 0 && isBlank(line[end - 1])) {
        --end;
    }
    return line.substr(0, end);
}

// One record: its lines, before which of them a new solution part starts, and from which
// character each line is taken.
struct Record {
    std::vector<const Line*> lines;
    std::vector<bool> startsPart;
    std::vector<std::size_t> from;

    void add(const Line& line, bool part, std::size_t column = 0) {
        lines.push_back(&line);
        startsPart.push_back(part);
        from.push_back(column);
    }
};

// The first column from the given one on that holds no blank.
std::size_t afterBlanks(const std::u32string& text, std::size_t column = 0) {
    while (column < text.size() && isBlank(text[column])) {
        ++column;
    }
    return column;
}

// The column after a line's "F:" or "A:" and the blanks behind it, or 0 without that mark.
std::size_t afterMark(const std::u32string& text, char32_t letter) {
    std::size_t column = afterBlanks(text);
    if (text.size() < column + 2 || text[column] != letter || text[column + 1] != U':') {
        return 0;
    }
    return afterBlanks(text, column + 2);
}

// A riddle record holds a question ("F:") and after it an answer ("A:"). Its answers become
// solution parts; a question after an answer goes on in that part on a new line, so that each
// "Lösen" shows one answer and the next question. Lines before the first question lead into it.
// Blank lines go, and so do the marks and the indent of the other lines.
bool isRiddle(const Record& record) {
    auto question = std::find_if(record.lines.begin(), record.lines.end(),
                                 [](const Line* line) { return afterMark(line->text, U'F') > 0; });
    return question != record.lines.end() &&
           std::any_of(question, record.lines.end(),
                       [](const Line* line) { return afterMark(line->text, U'A') > 0; });
}

Record asRiddle(const Record& record) {
    Record riddle;
    for (std::size_t k = 0; k < record.lines.size(); ++k) {
        const Line& line = *record.lines[k];
        if (isBlankLine(line.text)) {
            continue;
        }
        std::size_t question = afterMark(line.text, U'F');
        std::size_t answer = afterMark(line.text, U'A');
        std::size_t from = question > 0 ? question : answer > 0 ? answer : afterBlanks(line.text);
        riddle.add(line, !riddle.lines.empty() && (answer > 0 || record.startsPart[k]), from);
    }
    return riddle;
}

class Converter {
  public:
    Converter(const std::wstring& source, bool replaceUnknown, bool riddles, Conversion& conversion)
        : source(source), replaceUnknown(replaceUnknown), riddles(riddles), conversion(conversion) {
    }

    void add(const Record& record) {
        ++recordNumber;
        bool blank = std::all_of(record.lines.begin(), record.lines.end(),
                                 [](const Line* line) { return isBlankLine(line->text); });
        if (blank) {
            ++conversion.skipped;
            return;
        }
        const Record& shaped = riddles && isRiddle(record) ? asRiddle(record) : record;
        std::string joke;
        for (std::size_t k = 0; k < shaped.lines.size(); ++k) {
            if (k > 0) {
                joke += shaped.startsPart[k] ? partSeparatorByte : lineBreakByte;
            }
            append(*shaped.lines[k], shaped.from[k], joke);
        }
        conversion.jokes.push_back(std::move(joke));
    }

  private:
    void append(const Line& line, std::size_t from, std::string& joke) {
        for (std::size_t column = from; column < line.text.size(); ++column) {
            char32_t c = line.text[column];
            if (const char* plain = plainForm(c)) {
                joke += plain;
                ++conversion.mapped;
            } else if (c <= 0xFF && !isFormatByte(c)) {
                joke += static_cast<char>(c);
            } else if (replaceUnknown) {
                joke += '?';
                ++conversion.replaced;
            } else {
                conversion.problems.push_back(
                    {source, recordNumber, line.number, static_cast<std::uint32_t>(column + 1), c});
            }
        }
    }

    const std::wstring& source;
    bool replaceUnknown;
    bool riddles;
    Conversion& conversion;
    std::uint32_t recordNumber = 0;
};

bool isPercentLine(const Line& line) {
    return line.text == U"%";
}

void readFortune(const std::vector<Line>& lines, Converter& converter) {
    std::vector<Record> records(1);
    for (const Line& line : lines) {
        if (isPercentLine(line)) {
            records.emplace_back();
        } else {
            records.back().add(line, false);
        }
    }
    // A "%" as the first or the last line opens or closes the file; no record stands there.
    std::size_t first = records.size() > 1 && records.front().lines.empty() ? 1 : 0;
    std::size_t last = records.size();
    if (last > first && records.back().lines.empty()) {
        --last;
    }
    for (std::size_t k = first; k < last; ++k) {
        converter.add(records[k]);
    }
}

void readText(const std::vector<Line>& lines, Converter& converter) {
    Record record;
    bool partPending = false;
    for (std::size_t k = 0; k <= lines.size(); ++k) {
        if (k == lines.size() || isBlankLine(lines[k].text)) {
            if (!record.lines.empty()) {
                converter.add(record);
            }
            record = Record();
            partPending = false;
        } else if (trimmedEnd(lines[k].text) == U"--") {
            partPending = true;
        } else {
            record.add(lines[k], partPending && !record.lines.empty());
            partPending = false;
        }
    }
}

// Riddles without "%" or paragraphs: a question after an answer starts the next riddle.
void readRiddleLines(const std::vector<Line>& lines, Converter& converter) {
    Record record;
    bool answered = false;
    for (const Line& line : lines) {
        if (answered && afterMark(line.text, U'F') > 0) {
            converter.add(record);
            record = Record();
            answered = false;
        }
        answered = answered || afterMark(line.text, U'A') > 0;
        record.add(line, false);
    }
    if (!record.lines.empty()) {
        converter.add(record);
    }
}

void readList(const std::vector<Line>& lines, Converter& converter) {
    for (const Line& line : lines) {
        Record record;
        record.add(line, false);
        converter.add(record);
    }
}

// Fortune when a line holds only "%"; text when a line holds only "--" or a blank line stands
// between two others, so that paragraphs mean something; otherwise a list, one joke a line.
SourceFormat detectFormat(const std::vector<Line>& lines) {
    if (std::any_of(lines.begin(), lines.end(), isPercentLine)) {
        return SourceFormat::fortune;
    }
    if (std::any_of(lines.begin(), lines.end(),
                    [](const Line& line) { return trimmedEnd(line.text) == U"--"; })) {
        return SourceFormat::text;
    }
    bool textSeen = false;
    bool blankAfterText = false;
    for (const Line& line : lines) {
        if (isBlankLine(line.text)) {
            blankAfterText = textSeen;
        } else if (blankAfterText) {
            return SourceFormat::text;
        } else {
            textSeen = true;
        }
    }
    return SourceFormat::list;
}

} // namespace

char32_t windows1252Character(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? windows1252[byte - 0x80] : byte;
}

std::wstring whyNotText(const std::string& bytes, const std::wstring& path) {
    // strfile's index: a version of 1 or 2 as a big-endian word, counts, and the delimiter.
    bool index = bytes.size() >= 24 && bytes.compare(0, 3, std::string(3, '\0')) == 0 &&
                 (bytes[3] == 1 || bytes[3] == 2) && bytes[20] == '%';
    std::wstring suffix = L".dat";
    bool named = path.size() > suffix.size() &&
                 path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
    if (index) {
        std::wstring text = L"\u201E" + path + L"\u201C ist ein Index von strfile, kein Text";
        return named ? text + L"; die Witze stehen in \u201E" +
                           path.substr(0, path.size() - suffix.size()) + L"\u201C."
                     : text + L"; die Witze stehen in der Datei gleichen Namens ohne .dat.";
    }
    if (std::size_t nul = bytes.find('\0'); nul != std::string::npos && !hasUtf16Mark(bytes)) {
        return L"\u201E" + path + L"\u201C ist keine Textdatei: Byte 0x00 bei Offset " +
               std::to_wstring(nul) + L".";
    }
    return std::wstring();
}

SourceReading convertSource(const std::string& bytes, const std::wstring& sourceName,
                            SourceFormat format, bool replaceUnknown, Conversion& conversion) {
    SourceReading reading{format, SourceEncoding::utf8};
    std::vector<Line> lines = splitLines(decode(bytes, reading.encoding));
    bool riddles = format == SourceFormat::riddle;
    if (format == SourceFormat::automatic || riddles) {
        reading.format = detectFormat(lines);
    }
    Converter converter(sourceName, replaceUnknown, riddles, conversion);
    if (reading.format == SourceFormat::fortune) {
        readFortune(lines, converter);
    } else if (reading.format == SourceFormat::text) {
        readText(lines, converter);
    } else if (riddles) {
        readRiddleLines(lines, converter);
    } else {
        readList(lines, converter);
    }
    if (riddles) {
        reading.format = SourceFormat::riddle;
    }
    return reading;
}

std::string appendJokes(const std::string& existing, const std::vector<std::string>& jokes) {
    std::string bytes = existing;
    // An empty file and a file ending in LF both end in an empty joke, which the first new
    // one fills.
    bool needsLineEnd = !existing.empty() && existing.back() != '\n';
    for (const std::string& joke : jokes) {
        if (needsLineEnd) {
            bytes += '\n';
        }
        bytes += joke;
        needsLineEnd = true;
    }
    return bytes;
}

std::wstring badFileName(const std::wstring& name) {
    if (name.empty() || name == L"." || name == L"..") {
        return L"Der Name ist leer oder nur Punkte.";
    }
    for (wchar_t c : name) {
        auto value = static_cast<std::uint32_t>(c);
        if (value < 0x20 || std::wstring(L"<>:\"/\\|?*").find(c) != std::wstring::npos) {
            return L"Zeichen wie < > : \" / \\ | ? * und Steuerzeichen sind in Dateinamen nicht "
                   L"erlaubt.";
        }
        if (value >= 0xD800 && value <= 0xDFFF && sizeof(wchar_t) == 4) {
            return L"Der Name ist kein g\u00fcltiges UTF-8.";
        }
    }
    if (name.back() == L' ' || name.back() == L'.') {
        return L"Ein Dateiname darf unter Windows nicht auf Leerzeichen oder Punkt enden.";
    }
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') {
        stem.pop_back();
    }
    std::transform(stem.begin(), stem.end(), stem.begin(),
                   [](wchar_t c) { return c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c; });
    static const wchar_t* const reserved[] = {L"CON", L"PRN",    L"AUX",
                                              L"NUL", L"CONIN$", L"CONOUT$"};
    bool isReserved = std::find_if(std::begin(reserved), std::end(reserved), [&](const wchar_t* r) {
                          return stem == r;
                      }) != std::end(reserved);
    // COM0 to COM9 and LPT0 to LPT9, and with the superscript digits ¹ ² ³ as well.
    isReserved =
        isReserved ||
        (stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
         ((stem[3] >= L'0' && stem[3] <= L'9') || stem[3] == L'\u00B9' || stem[3] == L'\u00B2' ||
          stem[3] == L'\u00B3'));
    if (isReserved) {
        return L"\u201E" + stem + L"\u201C ist unter Windows ein Ger\u00e4tename.";
    }
    std::size_t units = 0;
    for (wchar_t c : name) {
        // Characters beyond U+FFFF take two UTF-16 units (wchar_t is 32 bits on POSIX systems).
        units += (static_cast<std::uint32_t>(c) >> 16) != 0 ? 2 : 1;
    }
    if (units > 255) {
        return L"Der Name ist l\u00e4nger als 255 Zeichen.";
    }
    return std::wstring();
}
