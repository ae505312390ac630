// The findings of one joke file: scanned once with the reading rules of the library.
#include "check.h"

#include <algorithm>
#include <cstdio>

#include "library/platform.h"
#include "import/convert.h"
#include "import/duplicates.h"
#include "library/file_names.h"
#include "library/latin1.h"
#include "library/utf8.h"
#include "system.h"
#include "witz.h"

namespace {

constexpr int shownPerKind = 5;

enum Kind {
    hiddenTail,
    finalLineEnd,
    emptyJoke,
    loneCR,
    mixedEnds,
    utf8,
    nul,
    tooLong,
    controlC1,
    kinds
};

std::wstring hex(unsigned char byte) {
    wchar_t text[4];
    std::swprintf(text, 4, L"%02X", byte);
    return text;
}

// Length of a valid UTF-8 sequence of two to four bytes at data[i], or 0.
std::size_t utf8Length(const std::string& data, std::size_t i, std::size_t end, char32_t& value) {
    const std::size_t length =
        decodeUtf8(reinterpret_cast<const unsigned char*>(data.data()) + i, end - i, value);
    return length >= 2 ? length : 0;
}

class Checker {
  public:
    void add(Kind kind, std::uint32_t joke, std::uint64_t offset, const std::wstring& text) {
        if (++counts[kind] <= shownPerKind) {
            findings.push_back({joke, offset, text});
        } else {
            lastOffset[kind] = offset;
            lastJoke[kind] = joke;
        }
    }

    // One more finding per kind that had more than were shown.
    std::vector<Finding> finish() {
        // "und 4 weitere leere Witze", "und 1 weiterer leerer Witz".
        static const wchar_t* const names[kinds][2] = {
            {L"", L""},
            {L"", L""},
            {L"weitere leere Witze", L"weiterer leerer Witz"},
            {L"weitere einzelne CR", L"weiteres einzelnes CR"},
            {L"", L""},
            {L"weitere UTF-8-Folgen", L"weitere UTF-8-Folge"},
            {L"weitere Bytes 0x00", L"weiteres Byte 0x00"},
            {L"weitere zu lange Zeilen", L"weitere zu lange Zeile"},
            {L"weitere Bytes 0x80 bis 0x9F", L"weiteres Byte zwischen 0x80 und 0x9F"}};
        for (int kind = 0; kind < kinds; ++kind) {
            if (counts[kind] > shownPerKind) {
                const std::uint32_t more = counts[kind] - shownPerKind;
                findings.push_back({lastJoke[kind], lastOffset[kind],
                                    L"und " + std::to_wstring(more) + L" " +
                                        names[kind][more == 1] + L" bis hier"});
            }
        }
        std::stable_sort(findings.begin(), findings.end(),
                         [](const Finding& a, const Finding& b) { return a.offset < b.offset; });
        return findings;
    }

  private:
    std::vector<Finding> findings;
    std::uint32_t counts[kinds] = {};
    std::uint64_t lastOffset[kinds] = {};
    std::uint32_t lastJoke[kinds] = {};
};

// A joke of only these shows as nothing.
bool isBlankByte(unsigned char byte) {
    return latin1::isBlank(byte) || byte == 0x11 || byte == 0x12;
}

} // namespace

std::vector<Finding> checkJokeFile(const std::string& data) {
    Checker checker;
    // Text mode ends the file at the first 0x1A.
    std::size_t end = std::min(data.find('\x1A'), data.size());
    if (end + 1 < data.size()) {
        auto joke = static_cast<std::uint32_t>(std::count(data.begin(), data.begin() + end, '\n'));
        checker.add(hiddenTail, joke + 1, end,
                    L"Byte 0x1A vor dem Ende: Pointex zeigt " +
                        (end + 2 == data.size()
                             ? std::wstring(L"das Byte")
                             : L"die " + std::to_wstring(data.size() - end - 1) + L" Bytes") +
                        L" dahinter nicht, keinen Witz und keinen Treffer daraus");
    }
    std::uint32_t joke = 1;
    std::size_t lineStart = 0;
    bool lineBlank = true;
    std::uint32_t withCR = 0, withoutCR = 0;
    std::uint64_t firstWithCR = 0, firstWithoutCR = 0;
    std::uint32_t firstJokeWithCR = 0, firstJokeWithoutCR = 0;
    for (std::size_t i = 0; i <= end; ++i) {
        if (i == end || data[i] == '\n') {
            std::size_t lineEnd = i > lineStart && data[i - 1] == '\r' && i < end ? i - 1 : i;
            std::size_t length = lineEnd - lineStart;
            bool last = i == end;
            if (length > longLine) {
                checker.add(tooLong, joke, lineStart,
                            L"Witz " + std::to_wstring(joke) + L" ist " + std::to_wstring(length) +
                                L" Bytes lang: \u00fcber 64 KB wird das Textfeld langsam");
            }
            if (last && lineStart == end && end > 0) {
                checker.add(finalLineEnd, joke, end - 1,
                            L"LF am Dateiende: ergibt einen leeren letzten Witz");
            } else if (lineBlank) {
                checker.add(emptyJoke, joke, lineStart, L"leerer Witz");
            }
            if (!last) {
                if (lineEnd < i) {
                    firstWithCR = withCR++ == 0 ? lineEnd : firstWithCR;
                    firstJokeWithCR = withCR == 1 ? joke : firstJokeWithCR;
                } else {
                    firstWithoutCR = withoutCR++ == 0 ? i : firstWithoutCR;
                    firstJokeWithoutCR = withoutCR == 1 ? joke : firstJokeWithoutCR;
                }
                ++joke;
            }
            lineStart = i + 1;
            lineBlank = true;
            continue;
        }
        auto byte = static_cast<unsigned char>(data[i]);
        lineBlank = lineBlank && isBlankByte(byte);
        char32_t value = 0;
        if (byte == '\r' && (i + 1 >= end || data[i + 1] != '\n')) {
            checker.add(loneCR, joke, i, L"CR ohne LF: kein Zeilenende, ein Zeichen im Witz");
        } else if (byte == 0) {
            checker.add(nul, joke, i, L"Byte 0x00: Pointex zeigt den Witz nur bis hier");
        } else if (std::size_t length = byte >= 0xC2 ? utf8Length(data, i, end, value) : 0) {
            std::wstring bytes;
            std::wstring shown;
            for (std::size_t k = 0; k < length; ++k) {
                auto part = static_cast<unsigned char>(data[i + k]);
                bytes += (k > 0 ? L" " : L"") + hex(part);
                shown += part >= 0xA0 ? static_cast<wchar_t>(part) : L'\u00B7';
            }
            std::wstring meant = value <= 0xFFFF || sizeof(wchar_t) == 4
                                     ? std::wstring(1, static_cast<wchar_t>(value))
                                     : L"?";
            checker.add(utf8, joke, i,
                        L"UTF-8-Folge " + bytes + L" f\u00fcr \u201E" + meant +
                            L"\u201C zeigt Pointex als \u201E" + shown +
                            L"\u201C: die Datei sollte ISO 8859-1 sein");
            i += length - 1;
        } else if (byte >= 0x80 && byte <= 0x9F) {
            char32_t meant = windows1252Character(byte);
            std::wstring which = meant != byte && (meant <= 0xFFFF || sizeof(wchar_t) == 4)
                                     ? L" (in Windows-1252 \u201E" +
                                           std::wstring(1, static_cast<wchar_t>(meant)) + L"\u201C)"
                                     : std::wstring();
            checker.add(controlC1, joke, i,
                        L"Byte 0x" + hex(byte) + which +
                            L" zeigt Pointex als nichts: die Datei sollte ISO 8859-1 sein; "
                            L"\u201Ewitz import\u201C wandelt Windows-1252 um");
        }
    }
    if (withCR > 0 && withoutCR > 0) {
        bool fewerCR = withCR < withoutCR;
        checker.add(mixedEnds, fewerCR ? firstJokeWithCR : firstJokeWithoutCR,
                    fewerCR ? firstWithCR : firstWithoutCR,
                    L"Zeilenenden gemischt: " + std::to_wstring(withCR) + L" \u00d7 CR LF, " +
                        std::to_wstring(withoutCR) + L" \u00d7 LF; das erste " +
                        (fewerCR ? L"CR LF" : L"LF ohne CR") + L" steht hier");
    }
    return checker.finish();
}

int runCheck(const Arguments& args) {
    std::wstring folder = args.positional.empty()
                              ? args.directory + platform::pathSeparator + L"Witze"
                              : args.positional[0];
    std::vector<platform::FolderEntry> entries;
    if (!platform::listFolder(folder + platform::pathSeparator + L"*", entries)) {
        complain(L"Kann den Ordner \u201E" + folder + L"\u201C nicht lesen: " +
                 platform::systemErrorText(platform::lastSystemError()) + L".");
        return failed;
    }
    std::size_t files = 0;
    std::size_t found = 0;
    std::wstring text;
    DuplicateFinder finder;
    std::vector<std::wstring> categories; // by the finder's numbers
    for (const platform::FolderEntry& entry : entries) {
        if (entry.name == L"." || entry.name == L"..") {
            continue;
        }
        if (entry.isDirectory) {
            text += entry.name + L": Unterordner: Pointex \u00fcbergeht ihn\n";
            ++found;
            continue;
        }
        ++files;
        // A collection made on Linux may hold names Windows refuses.
        if (std::wstring why = badFileName(entry.name); !why.empty()) {
            text += entry.name + L": Dateiname: " + why +
                    L" Unter Windows l\u00e4sst sich die Kategorie nicht anlegen.\n";
            ++found;
        }
        std::string bytes;
        if (!platform::readWholeFile(folder + platform::pathSeparator + entry.name, bytes)) {
            text += entry.name + L": l\u00e4sst sich nicht \u00f6ffnen (" +
                    platform::systemErrorText(platform::lastSystemError()) +
                    L"): Pointex zeigt dann keine Kategorie\n";
            ++found;
            continue;
        }
        for (const Finding& finding : checkJokeFile(bytes)) {
            text += entry.name + L": Witz " + std::to_wstring(finding.joke) + L", Offset " +
                    std::to_wstring(finding.offset) + L": " + finding.text + L"\n";
            ++found;
        }
        finder.addFile(bytes);
        categories.push_back(entry.name);
    }
    // A joke twice is no fault of the files, Pointex shows both: a note, not a finding.
    std::vector<Duplicate> duplicates =
        finder.duplicates([&](std::uint32_t category, std::string& bytes) {
            return platform::readWholeFile(folder + platform::pathSeparator + categories[category],
                                           bytes);
        });
    for (const Duplicate& duplicate : duplicates) {
        text += categories[duplicate.copy.category] + L": Witz " +
                std::to_wstring(duplicate.copy.joke) + L": Hinweis: derselbe Witz wie " +
                categories[duplicate.first.category] + L", Witz " +
                std::to_wstring(duplicate.first.joke) + L"\n";
    }
    std::wstring notes =
        duplicates.empty() ? L"" : L", " + counted(duplicates.size(), L"Hinweis", L"Hinweise");
    if (files == 0) {
        text += L"Der Ordner enth\u00e4lt keine Datei: Pointex findet keine Kategorie.\n";
        ++found;
    }
    if (found == 0) {
        text += L"In Ordnung: " + counted(files, L"Datei", L"Dateien") + L" ohne Befund" + notes +
                L".\n";
    } else {
        text += counted(files, L"Datei", L"Dateien") + L", " +
                counted(found, L"Befund", L"Befunde") + notes + L".\n";
    }
    say(text);
    return found == 0 ? success : negative;
}
