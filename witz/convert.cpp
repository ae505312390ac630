// Conversion of fortune files and plain text into joke file lines, and file name rules.
#include "convert.h"

#include <algorithm>
#include <cwctype>

#include "library/utf8.h"

namespace {

constexpr char lineBreakByte = 0x11;
constexpr char partSeparatorByte = 0x12;

std::u32string latin1(const std::string& bytes) {
    std::u32string text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        text += static_cast<unsigned char>(c);
    }
    return text;
}

// The whole source as characters when it is valid UTF-8 (a leading byte-order mark dropped),
// otherwise each byte as the ISO 8859-1 character of the same value.
std::u32string decode(const std::string& bytes) {
    std::u32string text;
    text.reserve(bytes.size());
    std::size_t i = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    while (i < bytes.size()) {
        char32_t value = 0;
        std::size_t length = decodeUtf8(data + i, bytes.size() - i, value);
        if (length == 0) {
            return latin1(bytes);
        }
        text += value;
        i += length;
    }
    return text;
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
// the LF after it), cut the text shown (0x00) or break it in the About texts (0x0F).
bool isFormatByte(char32_t c) {
    return c == 0x00 || c == 0x0D || c == 0x0F || c == 0x11 || c == 0x12 || c == 0x1A;
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

// One record: its lines, and before which of them a new solution part starts.
struct Record {
    std::vector<const Line*> lines;
    std::vector<bool> startsPart;
};

class Converter {
  public:
    Converter(const std::wstring& source, bool replaceUnknown, Conversion& conversion)
        : source(source), replaceUnknown(replaceUnknown), conversion(conversion) {}

    void add(const Record& record) {
        ++recordNumber;
        bool blank = std::all_of(record.lines.begin(), record.lines.end(),
                                 [](const Line* line) { return isBlankLine(line->text); });
        if (blank) {
            ++conversion.skipped;
            return;
        }
        std::string joke;
        for (std::size_t k = 0; k < record.lines.size(); ++k) {
            if (k > 0) {
                joke += record.startsPart[k] ? partSeparatorByte : lineBreakByte;
            }
            append(*record.lines[k], joke);
        }
        conversion.jokes.push_back(std::move(joke));
    }

  private:
    void append(const Line& line, std::string& joke) {
        for (std::size_t column = 0; column < line.text.size(); ++column) {
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
            records.back().lines.push_back(&line);
            records.back().startsPart.push_back(false);
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
            record.lines.push_back(&lines[k]);
            record.startsPart.push_back(partPending && record.lines.size() > 1);
            partPending = false;
        }
    }
}

} // namespace

void convertSource(const std::string& bytes, const std::wstring& sourceName, SourceFormat format,
                   bool replaceUnknown, Conversion& conversion) {
    std::vector<Line> lines = splitLines(decode(bytes));
    if (format == SourceFormat::automatic) {
        format = std::any_of(lines.begin(), lines.end(), isPercentLine) ? SourceFormat::fortune
                                                                        : SourceFormat::text;
    }
    Converter converter(sourceName, replaceUnknown, conversion);
    if (format == SourceFormat::fortune) {
        readFortune(lines, converter);
    } else {
        readText(lines, converter);
    }
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
    static const wchar_t* const reserved[] = {L"CON", L"PRN", L"AUX", L"NUL"};
    bool isReserved = std::find_if(std::begin(reserved), std::end(reserved), [&](const wchar_t* r) {
                          return stem == r;
                      }) != std::end(reserved);
    isReserved =
        isReserved ||
        (stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
         stem[3] >= L'1' && stem[3] <= L'9');
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
