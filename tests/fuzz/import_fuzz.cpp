// Fuzzes witz import against references that share none of its code (import_reference.cpp):
// glibc's iconv for the decoding, the rules of witz(1) written out plainly for the records and
// the conversion, glibc's character classes for the letters that make two jokes the same; and
// the editing rules by what witz(1) says they keep: every word in its order, lines joined by one
// blank (none after a hyphen), no blank before a line that its source line had not. The category
// is written, and what the core reads back from it must be the jokes expected.
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
// On the memory file system the importer's own functions run (whyNotText, decode, convertDecoded,
// DuplicateFinder, appendJokes) and the file is written through the seam; with
// POINTEX_FUZZ_REAL_FILES=1 the whole "witz import" command runs on the disk, writer included:
// a refused import leaves every file as it was, and none creates anything outside its Witze.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "import/convert.h"
#include "import/duplicates.h"
#include "fuzz_support.h"
#include "import_reference.h"
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

void expectDecoding(const reference::Decoding& expected, const Bytes& source,
                    const DecodedSource& actual) {
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
        const reference::Decoding::Run& want = expected.undecodable[k];
        const UndecodableBytes& got = actual.undecodable[k];
        expectEqual("undecodable run's line", want.line, got.line);
        expectEqual("undecodable run's column", want.column, got.column);
        expectEqual("undecodable run's bytes", want.bytes, source.substr(got.offset, got.length));
    }
}

// The editing rules, by what they keep.

bool blank(char c) {
    return c == ' ' || c == '\t';
}

// The words of a joke line: what stands between blanks, line breaks and part separators, and a
// word broken after a letter's hyphen counted as two, as --fliesstext may join them. An
// answer's "A:", which --fragen takes away, is no word.
// The word that starts at or after pos, pos moved behind it; empty after the last.
std::string_view nextWord(const Bytes& joke, std::size_t& pos) {
    auto apart = [](char c) { return blank(c) || c == '\x11' || c == '\x12'; };
    for (;;) {
        while (pos < joke.size() && apart(joke[pos])) {
            ++pos;
        }
        std::size_t start = pos;
        while (pos < joke.size() && !apart(joke[pos])) {
            bool hyphen = joke[pos] == '-' && pos > start && reference::isLetter(joke[pos - 1]);
            ++pos;
            if (hyphen) {
                break;
            }
        }
        std::string_view word = std::string_view(joke).substr(start, pos - start);
        if (word != "A:") {
            return word;
        }
    }
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
        bool hyphen = size >= 2 && text[size - 1] == '-' && reference::isLetter(text[size - 2]);
        text += (hyphen ? "" : " ") + next;
    }
    return text;
}

// A line without the blanks before it, which --fliesstext takes away where they only set the
// line under another.
Bytes withoutIndent(const Bytes& line) {
    return line.substr(std::min(line.find_first_not_of(" \t"), line.size()));
}

// Each part's lines are the plain part's lines, some joined as --fliesstext joins them, maybe
// without their indent.
bool flowedFrom(const Bytes& plain, const Bytes& edited) {
    std::vector<Bytes> plainParts = fuzz::split(plain, '\x12');
    std::vector<Bytes> editedParts = fuzz::split(edited, '\x12');
    if (plainParts.size() != editedParts.size()) {
        return false;
    }
    for (std::size_t p = 0; p < plainParts.size(); ++p) {
        std::vector<Bytes> lines = fuzz::split(plainParts[p], '\x11');
        std::size_t k = 0;
        for (const Bytes& editedLine : fuzz::split(editedParts[p], '\x11')) {
            const Bytes line = withoutIndent(editedLine);
            auto join = [&](std::size_t last) { return withoutIndent(joined(lines, k, last)); };
            std::size_t last = k;
            // Joined lines grow with each line after the second, and no blank line is joined.
            while (last < lines.size() && join(last) != line &&
                   (last == k || join(last).size() <= line.size()) &&
                   (last + 1 == lines.size() || trimmedEnd(lines[last + 1]) != "")) {
                ++last;
            }
            if (last == lines.size() || join(last) != line) {
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
bool expectConversion(const Input& input, const std::vector<reference::Decoding>& decodings,
                      const reference::Result& expected, std::vector<Bytes>& jokes) {
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
        const reference::Problem& want = expected.problems[k];
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

void ignoreOutput(host::Stream, const std::string&) {}

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
    host::terminal.write = ignoreOutput;
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

    reference::Result expected;
    bool notText = false;
    std::vector<reference::Decoding> decodings;
    for (const Bytes& source : input.sources) {
        std::wstring why = reference::whyNotText(source);
        std::wstring actual = whyNotText(source, L"quelle");
        if (why.empty() != actual.empty() || actual.find(why) == std::wstring::npos) {
            fuzz::fail("why a source is no text", why, actual);
        }
        notText = notText || !why.empty();
        decodings.push_back(reference::decode(source));
        reference::read(decodings.back(), input.format, input.replaceUnknown, expected);
    }
    std::vector<Bytes> jokes;
    bool converted = expectConversion(input, decodings, expected, jokes);
    const std::vector<Bytes> kept =
        input.withoutDuplicates ? reference::withoutRepeats(comparedCategories(input), jokes)
                                : jokes;

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
