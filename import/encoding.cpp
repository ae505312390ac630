// Decoding a source's bytes, and the plain forms of typographic characters.
#include "encoding.h"

#include "library/utf8.h"

namespace {

// Windows-1252's characters for the bytes 0x80 to 0x9F. The five bytes it leaves undefined keep
// their own values, C1 control characters, which the import refuses.
const char16_t windows1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// C1 control characters are read as the Windows-1252 characters of their bytes: in a source that
// is no UTF-8 they are those bytes, and in a Unicode source they are nearly always Windows-1252
// characters that went through a conversion as ISO 8859-1 (U+0092 for the apostrophe ’).
void fromC1(std::u32string& text) {
    for (char32_t& c : text) {
        if (c >= 0x80 && c <= 0x9F) {
            c = windows1252Character(static_cast<unsigned char>(c));
        }
    }
}

bool hasUtf16Mark(const std::string& bytes) {
    return bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0;
}

// Builds the text of a source, each run of undecodable bytes noted with its line and column.
class TextBuilder {
  public:
    TextBuilder(DecodedSource& source, std::size_t size) : source(source) {
        source.text.reserve(size);
    }
    void add(char32_t c) {
        source.text += c;
        if (c == U'\n') {
            ++line;
            lineStart = source.text.size();
        }
    }
    void addUndecodable(std::size_t offset, std::size_t length) {
        auto column = static_cast<std::uint32_t>(source.text.size() - lineStart + 1);
        source.undecodable.push_back({line, column, offset, length});
        source.text += undecodable;
    }

  private:
    DecodedSource& source;
    std::uint32_t line = 1;
    std::size_t lineStart = 0;
};

// UTF-16 after its byte-order mark: a surrogate without its partner (two bytes) and an odd last
// byte are undecodable.
void fromUtf16(const std::string& bytes, bool bigEndian, DecodedSource& source) {
    TextBuilder text(source, bytes.size() / 2);
    auto unit = [&](std::size_t i) {
        auto first = static_cast<unsigned char>(bytes[i]);
        auto second = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? first << 8 | second : second << 8 | first);
    };
    auto high = [](char32_t u) { return u >= 0xD800 && u <= 0xDBFF; };
    auto low = [](char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; };
    std::size_t i = 2;
    for (; i + 1 < bytes.size(); i += 2) {
        char32_t value = unit(i);
        if (high(value) && i + 3 < bytes.size() && low(unit(i + 2))) {
            text.add(0x10000 + ((value - 0xD800) << 10) + (unit(i + 2) - 0xDC00));
            i += 2;
        } else if (high(value) || low(value)) {
            text.addUndecodable(i, 2);
        } else {
            text.add(value);
        }
    }
    if (i < bytes.size()) {
        text.addUndecodable(i, 1);
    }
}

// Windows-1252 text hardly ever holds these well-formed sequences, and German text in UTF-8
// nearly always does: one of U+0080 to U+00FF (umlauts, ß, «, °, the no-break space; C2 or C3
// and one more byte, "Ã¤" in Windows-1252) or one of three or four bytes (typographic quotation
// marks, dashes and the euro sign, "â€ž"). A Windows-1252 text may well have a letter from
// C4 to DF before one from 80 to BF ("Spaß“" is DF 93, well-formed UTF-8 for U+07D3); so a
// sequence of two bytes counts only with C2 or C3.
bool tellsUtf8(const unsigned char* sequence, std::size_t length) {
    return length >= 3 || (length == 2 && sequence[0] <= 0xC3);
}

// UTF-8 after an optional byte-order mark; a byte that starts no sequence, or the bytes that
// begin one that breaks off, are one undecodable run. Returns whether a sequence that tells
// UTF-8 (tellsUtf8) was among them.
bool fromUtf8(const std::string& bytes, std::size_t from, DecodedSource& source) {
    TextBuilder text(source, bytes.size());
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    bool told = false;
    for (std::size_t i = from; i < bytes.size();) {
        char32_t value = 0;
        bool whole = false;
        std::size_t length = utf8Sequence(data + i, bytes.size() - i, value, whole);
        if (whole) {
            told = told || tellsUtf8(data + i, length);
            text.add(value);
        } else {
            text.addUndecodable(i, length);
        }
        i += length;
    }
    return told;
}

void fromWindows1252(const std::string& bytes, DecodedSource& source) {
    TextBuilder text(source, bytes.size());
    for (char c : bytes) {
        text.add(static_cast<unsigned char>(c));
    }
}

} // namespace

char32_t windows1252Character(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? windows1252[byte - 0x80] : byte;
}

// Notepad's "Unicode" is UTF-16 with a byte-order mark, its "UTF-8" has one too, and its "ANSI"
// is Windows-1252, which holds all of ISO 8859-1's printable characters. A mark is what the
// file's program wrote, so it settles the encoding; without one, a file of UTF-8 that a few other
// bytes spoil was pasted together from two sources, and no single encoding reads it right.
DecodedSource decode(const std::string& bytes) {
    DecodedSource source;
    if (hasUtf16Mark(bytes)) {
        source.encoding = SourceEncoding::utf16;
        source.byteOrderMark = true;
        fromUtf16(bytes, bytes[0] == '\xFE', source);
    } else {
        source.byteOrderMark = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
        bool told = fromUtf8(bytes, source.byteOrderMark ? 3 : 0, source);
        if (!source.undecodable.empty() && !source.byteOrderMark && !told) {
            source = DecodedSource();
            source.encoding = SourceEncoding::windows1252;
            fromWindows1252(bytes, source);
        }
    }
    fromC1(source.text);
    return source;
}

// Quotation marks, dashes, the ellipsis, the euro sign and blanks of other widths.
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

namespace {

// What a file probably is by its first bytes, for the files a user may take for text: documents
// of word processors, PDF and pictures. Nullptr for none of them.
const wchar_t* documentKind(const std::string& bytes) {
    static const struct {
        const char* start;
        std::size_t size;
        const wchar_t* kind;
    } kinds[] = {
        // .docx, .odt and the other formats of today's office programs are ZIP archives.
        {"PK\x03\x04", 4, L"ein Word- oder OpenOffice-Dokument (oder ein ZIP-Archiv)"},
        // .doc, .xls and .wps of the older office programs.
        {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8, L"ein Word-Dokument im alten Format (.doc)"},
        // RTF is text, but its words stand among formatting commands.
        {"{\\rtf", 5, L"ein RTF-Dokument (WordPad oder Word)"},
        {"%PDF-", 5, L"ein PDF-Dokument"},
        {"\x89PNG\r\n\x1A\n", 8, L"ein Bild (PNG)"},
        {"\xFF\xD8\xFF", 3, L"ein Bild (JPEG)"},
        {"GIF87a", 6, L"ein Bild (GIF)"},
        {"GIF89a", 6, L"ein Bild (GIF)"},
    };
    for (const auto& kind : kinds) {
        if (bytes.compare(0, kind.size, kind.start, kind.size) == 0) {
            return kind.kind;
        }
    }
    return nullptr;
}

} // namespace

std::wstring whyNotText(const std::string& bytes, const std::wstring& path) {
    auto named = [&path] { return L"\u201E" + path + L"\u201C"; };
    if (const wchar_t* kind = documentKind(bytes)) {
        return named() + L" ist wohl " + kind +
               L", keine Textdatei. \u00d6ffne die Datei in ihrem Programm und speichere sie "
               L"als Text (.txt), oder kopiere die Witze in den Editor und speichere sie dort "
               L"als Text.";
    }
    // strfile's index: a version of 1 or 2 as a big-endian word, counts, and the delimiter.
    if (bytes.size() >= 24 && bytes.compare(0, 3, std::string(3, '\0')) == 0 &&
        (bytes[3] == 1 || bytes[3] == 2) && bytes[20] == '%') {
        const std::wstring suffix = L".dat";
        bool dat = path.size() > suffix.size() &&
                   path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
        std::wstring text = named() + L" ist ein Index von strfile, kein Text";
        return dat ? text + L"; die Witze stehen in \u201E" +
                         path.substr(0, path.size() - suffix.size()) + L"\u201C."
                   : text + L"; die Witze stehen in der Datei gleichen Namens ohne .dat.";
    }
    if (std::size_t nul = bytes.find('\0'); nul != std::string::npos && !hasUtf16Mark(bytes)) {
        return named() + L" ist keine Textdatei: Byte 0x00 bei Offset " + std::to_wstring(nul) +
               L". Speichere die Witze im Editor als Text.";
    }
    return std::wstring();
}
