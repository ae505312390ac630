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

} // namespace

char32_t windows1252Character(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? windows1252[byte - 0x80] : byte;
}

// Notepad's "Unicode" is UTF-16 with a byte-order mark; its "ANSI" is Windows-1252, which holds
// all of ISO 8859-1's printable characters.
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
