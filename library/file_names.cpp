// File names as Windows has them: their order, the names it takes, the folder of a path.
#include "file_names.h"

#include <algorithm>
#include <cstdint>

#include "latin1.h"

namespace {

// A UTF-16 unit in capitals (see upcasedName).
char16_t upcase(char16_t c) {
    // A small letter of ISO 8859-1 whose capital is 0x20 below it, and Greek and Cyrillic alike.
    bool latin =
        c >= 0x60 && c <= 0xFF && latin1::folded(static_cast<unsigned char>(c - 0x20)) == c;
    if (latin || (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) || (c >= 0x430 && c <= 0x44F)) {
        return static_cast<char16_t>(c - 0x20);
    }
    if (c >= 0x450 && c <= 0x45F) {
        return static_cast<char16_t>(c - 0x50);
    }
    // Latin Extended-A pairs capitals and small letters, the capital first; between U+0139 and
    // U+0148 and from U+0179 on the pairs start at the odd place.
    bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    bool evenPairs =
        (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    if ((evenPairs && c % 2 == 1) || (oddPairs && c % 2 == 0)) {
        return static_cast<char16_t>(c - 1);
    }
    switch (c) {
    case 0xFF:
        return 0x178;
    case 0xB5:
        return 0x39C;
    case 0x131:
        return u'I';
    case 0x17F:
        return u'S';
    case 0x3C2:
        return 0x3A3;
    default:
        return c;
    }
}

std::u16string utf16(const std::wstring& name) {
    std::u16string units;
    for (wchar_t c : name) {
        auto value = static_cast<char32_t>(c);
        if (value >= 0x10000) {
            units += static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(value);
        }
    }
    return units;
}

} // namespace

std::u16string upcasedName(const std::wstring& name) {
    std::u16string units = utf16(name);
    for (char16_t& unit : units) {
        unit = upcase(unit);
    }
    return units;
}

bool windowsNameOrder(const std::wstring& a, const std::wstring& b) {
    std::u16string x = utf16(a);
    std::u16string y = utf16(b);
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
        if (upcase(x[i]) != upcase(y[i])) {
            return upcase(x[i]) < upcase(y[i]);
        }
    }
    // Names alike but for case (which Windows cannot hold in one folder) by their units.
    return x.size() != y.size() ? x.size() < y.size() : x < y;
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
    if (utf16(name).size() > longestFileName) {
        return L"Der Name ist l\u00e4nger als 255 Zeichen.";
    }
    return std::wstring();
}

std::wstring folderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring()
                                       : path.substr(0, slash == 2 && path[1] == L':' ? 3 : slash);
}
