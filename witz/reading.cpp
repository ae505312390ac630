// The reading commands: a random joke, the list of categories, one joke, the search.
#include <charconv>
#include <cstring>
#include <cwctype>
#include <memory>

#include "library/file_names.h"
#include "library/joke_library.h"
#include "library/joke_reader.h"
#include "library/platform.h"
#include "console.h"
#include "witz.h"

namespace {

std::wstring number(std::uint32_t value) {
    return intToString(static_cast<std::int32_t>(value));
}

// The library of the chosen folder, or null after saying why it shows no joke.
std::unique_ptr<JokeLibrary> openLibrary(const Arguments& args) {
    auto library = std::make_unique<JokeLibrary>(args.directory);
    if (library->getCategoryCount() > 0) {
        return library;
    }
    std::wstring folder = args.directory + platform::pathSeparator + L"Witze";
    if (library->getCategoryFiles().empty()) {
        complain(L"Keine Witze: \u201E" + folder + L"\u201C fehlt oder enth\u00e4lt keine Datei.");
        std::vector<std::wstring> places;
        for (const std::wstring& place : args.alsoSearched) {
            places.push_back(place + platform::pathSeparator + L"Witze");
        }
        if (!places.empty()) {
            complain(L"Auch nicht in " + quotedList(places) +
                     L"; -C ORDNER nennt den Ordner einer Sammlung.");
        }
    } else {
        complain(L"Pointex zeigt diese Sammlung nicht; \u201Ewitz pruefe\u201C nennt die Datei.");
    }
    return nullptr;
}

// A category by its file name, else by the name with letter case ignored when only one file
// matches so (as Windows finds a file), else by its number; 0 after saying that there is none.
std::uint32_t findCategory(const JokeLibrary& library, const std::wstring& name) {
    const std::vector<std::wstring>& names = library.getCategoryFiles();
    const std::u16string folded = upcasedName(name);
    std::vector<std::uint32_t> alike;
    for (std::uint32_t n = 1; n <= library.getCategoryCount(); ++n) {
        if (names[n - 1] == name) {
            return n;
        }
        if (upcasedName(names[n - 1]) == folded) {
            alike.push_back(n);
        }
    }
    if (alike.size() == 1) {
        return alike[0];
    }
    if (alike.size() > 1) {
        std::vector<std::wstring> which;
        for (std::uint32_t n : alike) {
            which.push_back(names[n - 1]);
        }
        complain(L"\u201E" + name + L"\u201C passt auf die Kategorien " + quotedList(which) +
                 L", die sich nur in Gro\u00df- und Kleinschreibung unterscheiden; gib den Namen "
                 L"genau an.");
        return 0;
    }
    if (!name.empty() && name.size() < 10 &&
        name.find_first_not_of(L"0123456789") == std::wstring::npos) {
        std::uint32_t n = static_cast<std::uint32_t>(std::stoul(name));
        if (n >= 1 && n <= library.getCategoryCount()) {
            return n;
        }
    }
    complain(L"Keine Kategorie \u201E" + name + L"\u201C; \u201Ewitz liste\u201C zeigt alle.");
    return 0;
}

// A part as lines for the terminal: 0x11 is the line break inside a joke.
std::wstring withLineBreaks(const std::wstring& part, const wchar_t* lineBreakText) {
    std::wstring text;
    text.reserve(part.size());
    for (wchar_t c : part) {
        if (c == lineBreak) {
            text += lineBreakText;
        } else {
            text += c;
        }
    }
    return text;
}

int showJoke(const JokeLibrary& library, std::uint32_t n, std::uint32_t joke, bool withPlace,
             bool guess) {
    std::vector<std::wstring> parts;
    bool read = library.readJokes(
        n, {joke}, [&parts](std::uint32_t, const std::vector<std::wstring>& p) { parts = p; });
    if (!read) {
        complain(L"Kann die Kategorie \u201E" + library.getCategoryName(n) +
                 L"\u201C nicht \u00f6ffnen.");
        return failed;
    }
    if (withPlace) {
        say(library.getCategoryName(n) + L": " + number(joke) + L"/" +
            number(library.getJokeCount(n)) + L"\n");
    }
    say(withLineBreaks(parts[0], L"\n") + L"\n");
    bool wait = guess && host::interactive();
    for (std::size_t k = 1; k < parts.size(); ++k) {
        if (wait) {
            say(L"[Eingabetaste: L\u00f6sung]");
            host::flush();
            host::waitForEnter();
        }
        say(L"\n" + withLineBreaks(parts[k], L"\n") + L"\n");
    }
    return success;
}

// A number from 0 to m - 1, each as likely as the others, for any m: as many of the generator's
// 15-bit values as m needs, drawn again in the rare case that they fall past the last whole
// multiple of m.
std::uint64_t evenDraw(std::uint64_t m) {
    for (;;) {
        std::uint64_t range = 1;
        std::uint64_t value = 0;
        while (range < m) {
            value = value << 15 | static_cast<std::uint64_t>(platform::randomValue() & 0x7FFF);
            range <<= 15;
        }
        if (value < range - range % m) {
            return value % m;
        }
    }
}

} // namespace

int runRandom(const Arguments& args) {
    std::unique_ptr<JokeLibrary> library = openLibrary(args);
    if (!library) {
        return failed;
    }
    platform::seedRandom(host::randomSeed());
    if (args.has(L"--kategorie-zuerst")) {
        std::uint32_t n = library->selectCategory(0);
        return showJoke(*library, n, randomDraw(library->getJokeCount(n)), true, false);
    }
    // Every joke of the collection as likely as any other, as fortune weighs its files.
    std::uint64_t k = evenDraw(library->totalJokes);
    std::uint32_t n = 1;
    while (k >= library->getJokeCount(n)) {
        k -= library->getJokeCount(n);
        ++n;
    }
    return showJoke(*library, n, static_cast<std::uint32_t>(k) + 1, true, false);
}

int runList(const Arguments& args) {
    std::unique_ptr<JokeLibrary> library = openLibrary(args);
    if (!library) {
        return failed;
    }
    std::uint32_t count = library->getCategoryCount();
    std::size_t width = number(count).size();
    std::wstring text;
    for (std::uint32_t n = 1; n <= count; ++n) {
        std::wstring place = number(n);
        text += std::wstring(width - place.size(), L' ') + place + L"  " +
                library->getCategoryName(n) + L"  (" + number(library->getJokeCount(n)) + L")\n";
    }
    text += counted(library->totalJokes, L"Witz", L"Witze") + L" in " +
            counted(library->categoryCount, L"Kategorie", L"Kategorien") + L"\n";
    say(text);
    return success;
}

int runShow(const Arguments& args) {
    std::unique_ptr<JokeLibrary> library = openLibrary(args);
    if (!library) {
        return failed;
    }
    std::uint32_t n = findCategory(*library, args.positional[0]);
    if (n == 0) {
        return failed;
    }
    std::uint32_t count = library->getJokeCount(n);
    if (args.positional.size() == 1) {
        platform::seedRandom(host::randomSeed());
        return showJoke(*library, n, randomDraw(count), true, args.has(L"--raten"));
    }
    const std::wstring& wanted = args.positional[1];
    std::uint32_t joke = 0;
    if (!wanted.empty() && wanted.size() < 10 &&
        wanted.find_first_not_of(L"0123456789") == std::wstring::npos) {
        joke = static_cast<std::uint32_t>(std::stoul(wanted));
    }
    if (joke == 0 || joke > count) {
        complain(L"\u201E" + library->getCategoryName(n) +
                 (count == 1 ? L"\u201C hat nur Witz 1; \u201E" + wanted + L"\u201C ist es nicht."
                             : L"\u201C hat die Witze 1 bis " + number(count) + L"; \u201E" +
                                   wanted + L"\u201C ist keiner davon."));
        return failed;
    }
    return showJoke(*library, n, joke, false, args.has(L"--raten"));
}

namespace {

// A joke line as a search hit shows it, in UTF-8: byte b stands for U+00bb (two bytes from
// 0x80 on), 0x11 for a blank and 0x12 for " | ", so at most three bytes for each. Plain ASCII
// is copied eight bytes at a time, which is most of a German text.
void putLineAsUtf8(const unsigned char* line, std::size_t size, char*& to) {
    constexpr std::uint64_t ones = 0x0101010101010101, highs = 0x8080808080808080;
    auto holds = [](std::uint64_t word, unsigned char value) {
        const std::uint64_t x = word ^ (ones * value);
        return ((x - ones) & ~x & highs) != 0;
    };
    std::size_t i = 0;
    while (i < size) {
        std::uint64_t word;
        while (i + 8 <= size && (std::memcpy(&word, line + i, 8), (word & highs) == 0) &&
               !holds(word, lineBreak) && !holds(word, partSeparator)) {
            std::memcpy(to, &word, 8);
            to += 8;
            i += 8;
        }
        if (i == size) {
            break;
        }
        const unsigned char byte = line[i++];
        if (byte >= 0x80) {
            *to++ = static_cast<char>(0xC0 | (byte >> 6));
            *to++ = static_cast<char>(0x80 | (byte & 0x3F));
        } else if (byte == lineBreak) {
            *to++ = ' ';
        } else if (byte == partSeparator) {
            std::memcpy(to, " | ", 3);
            to += 3;
        } else {
            *to++ = static_cast<char>(byte);
        }
    }
}

} // namespace

int runSearch(const Arguments& args) {
    if (args.has(L"-i") && args.has(L"--gross-klein")) {
        complain(L"-i und --gross-klein schlie\u00dfen einander aus.");
        return failed;
    }
    std::unique_ptr<JokeLibrary> library = openLibrary(args);
    if (!library) {
        return failed;
    }
    auto category = args.values.find(L"--kategorie");
    bool all = category == args.values.end();
    if (!all) {
        std::uint32_t n = findCategory(*library, category->second);
        if (n == 0) {
            return failed;
        }
        library->selectCategory(n);
    }
    // Each hit is printed while the search still holds its line, its bytes turned into UTF-8
    // straight away; a line longer than the search keeps is read once more. Hits are gathered
    // and written some thousand at a time: output is most of the work of a search with many.
    std::uint32_t shownCategory = 0;
    std::string prefix;
    // On a terminal, a hit's text continues under itself, past the category and number.
    const std::string afterPlace = host::wraps(host::Stream::out)
                                       ? std::string(": ") + host::indentMarkUtf8
                                       : std::string(": ");
    std::string out;
    constexpr std::size_t batch = 64 * 1024;
    out.reserve(2 * batch);
    auto print = [&](std::uint32_t n, std::uint32_t joke, const unsigned char* line,
                     std::size_t size) {
        if (n != shownCategory) {
            shownCategory = n;
            prefix = host::toUtf8(library->getCategoryName(n) + L":");
        }
        out += prefix;
        // The number as intToString writes it ("%d" of 32 bits), without a wide detour.
        char digits[16];
        out.append(
            digits,
            std::to_chars(digits, digits + sizeof digits, static_cast<std::int32_t>(joke)).ptr);
        out += afterPlace;
        if (line == nullptr) {
            std::wstring text;
            library->readJokes(n, {joke},
                               [&](std::uint32_t, const std::vector<std::wstring>& parts) {
                                   text += withLineBreaks(parts[0], L" ");
                                   for (std::size_t k = 1; k < parts.size(); ++k) {
                                       text += L" | " + withLineBreaks(parts[k], L" ");
                                   }
                               });
            out += host::toUtf8(text);
        }
        std::size_t at = out.size();
        out.resize(at + 3 * size);
        char* to = &out[at];
        putLineAsUtf8(line, size, to);
        out.resize(static_cast<std::size_t>(to - out.data()));
        out += '\n';
        if (out.size() >= batch) {
            host::writeUtf8(host::Stream::out, out);
            out.clear();
        }
    };
    std::uint32_t hits =
        library->search(args.positional[0], all, args.has(L"--gross-klein"), print);
    host::writeUtf8(host::Stream::out, out);
    if (libraryWarned()) {
        return failed;
    }
    return hits > 0 ? success : negative;
}
