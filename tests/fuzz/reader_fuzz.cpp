// Fuzzes the reading of joke files: the text-mode blocks, JokeFile's parts, JokeLibrary's jokes
// and solutions, and readTextFile, each against a byte-by-byte reading of the same input, the
// line counts with both forms of the byte loops.
//
// Input: a mode byte, two offset bytes and a filler byte (see fuzz::expand), then the data.
// The mode byte's high four bits also vary the read sizes and the jokes sampled. Inputs shorter
// than four bytes are the file as they are.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "byte_scan.h"
#include "fuzz_support.h"
#include "joke_library.h"
#include "joke_reader.h"
#include "platform.h"

using fuzz::Bytes;
using fuzz::expectEqual;
using fuzz::expectEqualAt;

namespace {

// The text of a file split into lines, found by their start offsets.
struct Lines {
    explicit Lines(const Bytes& text) : text(text) {
        starts.push_back(0);
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') {
                starts.push_back(i + 1);
            }
        }
    }
    std::uint32_t count() const { return static_cast<std::uint32_t>(starts.size()); }
    // Line n, counted from 1, without its LF.
    Bytes line(std::uint32_t n) const {
        std::size_t end = n < starts.size() ? starts[n] - 1 : text.size();
        return text.substr(starts[n - 1], end - starts[n - 1]);
    }
    const Bytes& text;
    std::vector<std::size_t> starts;
};

bool sameCharacters(const std::wstring& read, std::string_view bytes) {
    return read.size() == bytes.size() &&
           std::equal(read.begin(), read.end(), bytes.begin(),
                      [](wchar_t c, char b) { return c == static_cast<unsigned char>(b); });
}

// Reads the whole file through the platform seam with buffers of changing, often tiny, sizes:
// the held-back CR and the one-byte look-ahead only show with those.
void checkTextBlocks(const std::wstring& path, const Bytes& text, unsigned seed) {
    static const std::size_t sizes[] = {1, 2, 3, 1, 7, 64, 4095, 1, 65536, fuzz::blockSize};
    static std::vector<unsigned char> buffer(65536);
    std::unique_ptr<platform::TextFile> file(platform::openTextFile(path));
    if (!file) {
        fuzz::fail("openTextFile", L"a file", L"nullptr");
    }
    Bytes read;
    for (unsigned i = seed;; ++i) {
        std::size_t size = sizes[i % std::size(sizes)];
        std::size_t count = file->read(buffer.data(), size);
        if (count > size) {
            fuzz::fail("TextFile::read wrote past its buffer", std::to_wstring(size),
                       std::to_wstring(count));
        }
        if (count == 0) {
            break;
        }
        read.append(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(count));
    }
    expectEqual("a second read at the end gives nothing", 0, file->read(buffer.data(), 16));
    file.reset();
    if (read != text) {
        fuzz::fail("text-mode bytes through TextFile::read", fuzz::widen(text), fuzz::widen(read));
    }
}

// One pass over the file with JokeFile: every part of every line, and how each one ended.
void checkParts(const std::wstring& path, const Lines& lines) {
    JokeFile counter(path);
    expectEqual("countLineEnds", lines.count() - 1, counter.countLineEnds());

    const Bytes& text = lines.text;
    JokeFile file(path);
    std::wstring read;
    std::size_t line = 1;
    std::size_t part = 1;
    for (std::size_t pos = 0;;) {
        std::size_t end = std::min(text.find_first_of("\n\x12", pos, 2), text.size());
        JokeFile::PartEnd expectedEnd = end == text.size()  ? JokeFile::PartEnd::fileEnd
                                        : text[end] == '\n' ? JokeFile::PartEnd::lineEnd
                                                            : JokeFile::PartEnd::separator;
        std::string_view expected(text.data() + pos, end - pos);
        // Every third part is skipped rather than read, as getSolution passes parts over.
        bool skip = (line + part) % 3 == 0;
        read.clear();
        JokeFile::PartEnd actualEnd = skip ? file.skipPart() : file.readPart(read);
        if (actualEnd != expectedEnd || !(skip ? read.empty() : sameCharacters(read, expected))) {
            std::string where = "line " + std::to_string(line) + " part " + std::to_string(part) +
                                (skip ? " (skipped)" : "");
            expectEqual("how readPart ended, " + where, static_cast<std::size_t>(expectedEnd),
                        static_cast<std::size_t>(actualEnd));
            fuzz::fail("readPart, " + where, skip ? L"" : fuzz::widen(Bytes(expected)), read);
        }
        if (expectedEnd == JokeFile::PartEnd::fileEnd) {
            break;
        }
        pos = end + 1;
        part = expectedEnd == JokeFile::PartEnd::separator ? part + 1 : 1;
        line += expectedEnd == JokeFile::PartEnd::lineEnd ? 1 : 0;
    }
    std::wstring rest;
    expectEqual("readPart after the end", static_cast<std::size_t>(JokeFile::PartEnd::fileEnd),
                static_cast<std::size_t>(file.readPart(rest)));
    expectEqual("text after the end", L"", rest);
}

// The jokes to read through JokeLibrary: all of a file of up to eight; of a longer one the first
// and last three, those around each block boundary, and three more picked by the input. Each
// read starts again at the top of the file, so reading them all would cost the square.
std::vector<std::uint32_t> sampleJokes(const Lines& lines,
                                       const std::vector<std::size_t>& boundaries, unsigned seed) {
    const std::uint32_t count = lines.count();
    std::vector<std::uint32_t> jokes;
    if (count <= 8) {
        for (std::uint32_t n = 1; n <= count; ++n) {
            jokes.push_back(n);
        }
        return jokes;
    }
    for (std::uint32_t n : {1u, 2u, 3u, count - 2, count - 1, count}) {
        jokes.push_back(n);
    }
    for (std::size_t offset : boundaries) {
        auto n = static_cast<std::uint32_t>(
            std::upper_bound(lines.starts.begin(), lines.starts.end(), offset) -
            lines.starts.begin());
        for (std::uint32_t m : {n - 1, n, n + 1}) {
            if (m >= 1 && m <= count) {
                jokes.push_back(m);
            }
        }
    }
    std::uint32_t state = seed * 2654435761u + 1;
    for (int i = 0; i < 3; ++i) {
        state = state * 1103515245u + 12345u;
        jokes.push_back(1 + (state >> 8) % count);
    }
    return jokes;
}

void checkLibrary(const Lines& lines, const std::vector<std::size_t>& boundaries, unsigned seed) {
    JokeLibrary library;
    expectEqual("category count", 1, library.getCategoryCount());
    expectEqual("joke count", lines.count(), library.getJokeCount(1));
    expectEqual("total jokes", lines.count(), library.totalJokes);
    expectEqual("selectCategory", 1, library.selectCategory(1));

    for (std::uint32_t n : sampleJokes(lines, boundaries, seed)) {
        std::vector<Bytes> parts = fuzz::split(lines.line(n), '\x12');
        auto at = [n](const char* what, std::size_t part = 0) {
            return std::string(what) + (part > 0 ? " part " + std::to_string(part + 1) : "") +
                   ", joke " + std::to_string(n);
        };
        expectEqualAt([&] { return at("getJokeText"); },
                      fuzz::widen(fuzz::crlfFor(parts[0], '\x11')), library.getJokeText(n));
        expectEqualAt([&] { return at("getCurrentJoke"); }, n, library.getCurrentJoke());
        // Each call rereads the file up to the joke, so long runs of parts are read back only
        // so far, less far in a file past a block.
        std::size_t last =
            std::min<std::size_t>(parts.size(), lines.text.size() > fuzz::blockSize ? 4 : 17);
        for (std::size_t p = 1; p < last; ++p) {
            expectEqualAt([&] { return at("getHasSolution before", p); }, true,
                          library.getHasSolution());
            expectEqualAt([&] { return at("getSolution", p); },
                          fuzz::widen(fuzz::crlfFor(parts[p], '\x11')), library.getSolution());
        }
        if (last == parts.size()) {
            expectEqualAt([&] { return at("getHasSolution after the last part"); }, false,
                          library.getHasSolution());
            expectEqualAt([&] { return at("getSolution after the last part"); },
                          std::wstring(L"Keine L\u00f6sung vorhanden!"), library.getSolution());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InWorkingDirectory inFolder;
    Bytes input(reinterpret_cast<const char*>(data), size);
    Bytes raw = input;
    unsigned seed = 0;
    if (size >= 4) {
        seed = data[0] >> 4;
        raw = fuzz::expand(data[0], std::size_t{data[1]} << 8 | data[2], Bytes(1, input[3]),
                           input.substr(4));
    }
    fuzz::clearJokeFolder();
    fuzz::writeJokeFile("j", raw);
    const std::wstring path = fuzz::jokeFolder() + L"/j";

    std::vector<std::size_t> boundaries;
    const Bytes text = fuzz::textMode(raw, &boundaries);
    const Lines lines(text);

    // A file past a block boundary is checked one way per input, picked by the mode byte, so
    // that three times as many of them are run; a short file every way.
    const bool everyWay = raw.size() < fuzz::blockSize / 4;
    if (everyWay || seed % 3 == 0) {
        checkTextBlocks(path, text, seed);
        expectEqual("readTextFile", fuzz::widen(fuzz::crlfFor(fuzz::crlfFor(text, '\n'), '\x0F')),
                    readTextFile(path));
    }
    // Counting and skipping lines go through the byte loops: both forms must read the same.
    for (ScanLoops loops : {ScanLoops::sse2, ScanLoops::plain}) {
        chooseScanLoops(loops);
        if (everyWay || seed % 3 == 1) {
            checkParts(path, lines);
        }
        if (everyWay || seed % 3 == 2) {
            checkLibrary(lines, boundaries, seed);
        }
    }
    if (!fuzz::takeMessageBoxes().empty()) {
        fuzz::fail("message boxes while reading a readable file", L"none", L"some");
    }
    inFolder.expectFilesClosed();
    return 0;
}
