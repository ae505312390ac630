// Fuzzes witz import by the round trip: the sources are converted, the category written, and
// what the core reads back from it must be exactly the non-empty records of the sources after
// the conversion, worked out here by a plain reference of the import's rules.
//
// Input: a flags byte, then, with an existing category, one byte giving the length of its old
// bytes and those bytes, then, with two sources, one byte giving the length of the first; the
// rest is the (last) source. Flags: bits 0-1 the format (automatic, fortune, text, automatic),
// bit 2 --ersetzen, bits 3-4 the category (new, --anhaengen to an existing one,
// --ersetzen-datei, existing without either: refused), bit 5 an LF after the old bytes,
// bit 6 two sources.
//
// On the memory file system the conversion and the file's bytes are taken from the importer's
// own functions (convertSource, appendJokes) and written through the seam; with
// POINTEX_FUZZ_REAL_FILES=1 the whole "witz import" command runs on the disk, writer included,
// and a refused import must leave the folder as it was, byte for byte.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "convert.h"
#include "fuzz_support.h"
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
                                           SourceFormat::text, SourceFormat::automatic};
    input.format = formats[flags & 3];
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

// The characters of a source: UTF-8 when all of it is (a byte-order mark dropped), else one per
// byte. Checked against the table of well-formed sequences: a lead byte's allowed second bytes.
std::u32string characters(const Bytes& bytes) {
    std::u32string text;
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
            return std::u32string(reinterpret_cast<const unsigned char*>(bytes.data()),
                                  reinterpret_cast<const unsigned char*>(bytes.data()) +
                                      bytes.size());
        }
        text += value;
        i += length;
    }
    return text;
}

const std::map<char32_t, Bytes> plainForms = {
    {0x201E, "\""}, {0x201C, "\""},  {0x201D, "\""}, {0x201F, "\""}, {0xAB, "\""},  {0xBB, "\""},
    {0x201A, "'"},  {0x2018, "'"},   {0x2019, "'"},  {0x201B, "'"},  {0x2039, "'"}, {0x203A, "'"},
    {0x2010, "-"},  {0x2011, "-"},   {0x2012, "-"},  {0x2013, "-"},  {0x2014, "-"}, {0x2015, "-"},
    {0x2212, "-"},  {0x2026, "..."}, {0xA0, " "},    {0x2002, " "},  {0x2003, " "}, {0x2007, " "},
    {0x2009, " "},  {0x200A, " "},   {0x202F, " "}};

bool blank(char32_t c) {
    return c == U' ' || c == U'\t' || (plainForms.count(c) != 0 && plainForms.at(c) == " ");
}

bool blankLine(const std::u32string& line) {
    return std::all_of(line.begin(), line.end(), blank);
}

struct Reference {
    explicit Reference(bool replaceUnknown) : replaceUnknown(replaceUnknown) {}
    bool replaceUnknown;
    bool stopped = false; // a character that fits no joke file, without --ersetzen
    std::vector<Bytes> jokes;

    void convert(const std::u32string& line, Bytes& joke) {
        for (char32_t c : line) {
            auto plain = plainForms.find(c);
            if (plain != plainForms.end()) {
                joke += plain->second;
            } else if (c > 0xFF || c == 0x00 || c == 0x0D || c == 0x0F || c == 0x11 || c == 0x12 ||
                       c == 0x1A) {
                stopped = stopped || !replaceUnknown;
                joke += '?';
            } else {
                joke += static_cast<char>(c);
            }
        }
    }

    // A record's lines, and for each whether a solution part starts with it (none when empty).
    void add(const std::vector<std::u32string>& lines, const std::vector<bool>& parts) {
        if (std::all_of(lines.begin(), lines.end(), blankLine)) {
            return;
        }
        Bytes joke;
        for (std::size_t k = 0; k < lines.size(); ++k) {
            if (k > 0) {
                joke += !parts.empty() && parts[k] ? '\x12' : '\x11';
            }
            convert(lines[k], joke);
        }
        jokes.push_back(joke);
    }

    void source(const Bytes& bytes, SourceFormat format) {
        std::u32string text = characters(bytes);
        std::vector<std::u32string> lines;
        for (std::size_t start = 0; start < text.size();) {
            std::size_t end = std::min(text.find(U'\n', start), text.size());
            std::size_t cut = end < text.size() && end > start && text[end - 1] == U'\r' ? 1 : 0;
            lines.push_back(text.substr(start, end - start - cut));
            start = end + 1;
        }
        bool percent = std::count(lines.begin(), lines.end(), U"%") > 0;
        std::vector<std::u32string> record;
        std::vector<bool> parts;
        if (format == SourceFormat::fortune || (format == SourceFormat::automatic && percent)) {
            for (const std::u32string& line : lines) {
                if (line == U"%") {
                    add(record, {});
                    record.clear();
                } else {
                    record.push_back(line);
                }
            }
            add(record, {});
            return;
        }
        // Plain text: paragraphs; a line "--" (blanks after it allowed) before a line of the
        // paragraph other than its first starts a solution part there.
        bool marked = false;
        lines.push_back(U"");
        for (const std::u32string& line : lines) {
            std::u32string stem = line.substr(0, line.find_last_not_of(U" \t\u00A0\u2002\u2003"
                                                                       U"\u2007\u2009\u200A"
                                                                       U"\u202F") +
                                                     1);
            if (blankLine(line)) {
                add(record, parts);
                record.clear();
                parts.clear();
                marked = false;
            } else if (stem == U"--") {
                marked = true;
            } else {
                parts.push_back(marked && !record.empty());
                record.push_back(line);
                marked = false;
            }
        }
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

void ignoreOutput(host::Stream, const std::wstring&) {}

// The whole command on disk; returns whether it wrote the category, and its bytes.
bool importOnDisk(const Input& input, Bytes& written) {
    static const std::wstring root =
        std::filesystem::path(fuzz::jokeFolder()).parent_path().wstring();
    host::write = ignoreOutput;
    std::vector<std::wstring> args = {L"import", L"-C", root, L"--nach", L"j"};
    static const wchar_t* const formats[] = {nullptr, L"--format=fortune", L"--format=text"};
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
        expectEqual("exit status of a refused import", negative, status);
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

// The importer's own conversion, the file's bytes written through the seam; returns whether the
// import would write.
bool importInMemory(const Input& input, const Reference& reference, Bytes& bytes) {
    if (input.category == Category::refused || oldBytesRefused(input)) {
        return false;
    }
    Conversion conversion;
    for (const Bytes& source : input.sources) {
        convertSource(source, L"q", input.format, input.replaceUnknown, conversion);
    }
    expectEqual("import stopped by a character", reference.stopped, !conversion.problems.empty());
    if (!conversion.problems.empty() || conversion.jokes.empty()) {
        return false;
    }
    bytes = appendJokes(input.category == Category::append ? input.old : Bytes(), conversion.jokes);
    fuzz::writeJokeFile("j", bytes);
    return true;
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
                         reference.stopped || reference.jokes.empty();
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
    inFolder.expectFilesClosed();
    return 0;
}
