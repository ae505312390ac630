// Fuzzes JokeLibrary::search against a plain search: split every file into lines and look for
// the text in each with std::search, with and without folding capitals, with both forms of the
// byte loops.
//
// Input: flags, needle length, offset, two split points, extras, the needle, the files' bytes.
//   flags bit 0: search with regard to case first (the other way second)
//   bits 1-2: 1 to 3 files; bit 6: search the chosen category only
//   bit 7: filler is the needle without its last byte, else its first byte
//   needle length: 0 to 2 from bytes FD to FF (refused), else 3 + byte % 29
//   extras bit 0: a U+20AC follows the needle; bits 4-7: size mode of every file: 4 puts a
//   copy of the needle across the first block boundary, split offset % (length - 1) + 1 bytes
//   in; the others as fuzz::expand
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "byte_scan.h"
#include "fuzz_support.h"
#include "joke_library.h"
#include "latin1.h"

using fuzz::Bytes;
using fuzz::expectEqual;

namespace {

// The capitals of ISO 8859-1 as their small letters, a byte at a time (latin1_test holds the
// classes to Unicode's).
Bytes folded(Bytes bytes) {
    for (char& c : bytes) {
        c = static_cast<char>(latin1::folded(static_cast<unsigned char>(c)));
    }
    return bytes;
}

// Filler up to the first block boundary, the needle across it, then the data.
Bytes straddle(const Bytes& needle, std::size_t offset, const Bytes& filler, const Bytes& data) {
    std::size_t split = needle.size() > 1 ? offset % (needle.size() - 1) + 1 : 0;
    return fuzz::repeat(filler.empty() ? "x" : filler, fuzz::blockSize - split, needle + data);
}

struct Hit {
    std::uint32_t category;
    std::uint32_t joke;
    std::string_view line; // in the input's texts, as stored, not folded
};

std::vector<Hit> referenceHits(const std::vector<Bytes>& texts,
                               const std::vector<std::uint32_t>& categories, const Bytes& needle,
                               bool caseSensitive) {
    std::vector<Hit> hits;
    const Bytes pattern = caseSensitive ? needle : folded(needle);
    for (std::uint32_t n : categories) {
        Bytes foldedText;
        const Bytes& text = caseSensitive ? texts[n - 1] : (foldedText = folded(texts[n - 1]));
        std::uint32_t k = 1;
        for (std::size_t start = 0; start <= text.size(); ++k) {
            std::size_t end = std::min(text.find('\n', start), text.size());
            // std::search rather than find: find's memcmp would feed libFuzzer's comparison
            // hooks from the reference too.
            auto lineEnd = text.begin() + static_cast<std::ptrdiff_t>(end);
            if (std::search(text.begin() + static_cast<std::ptrdiff_t>(start), lineEnd,
                            pattern.begin(), pattern.end()) != lineEnd) {
                hits.push_back({n, k, std::string_view(texts[n - 1]).substr(start, end - start)});
            }
            start = end + 1;
        }
    }
    return hits;
}

// The failure texts are made only on a mismatch: most checks run once per hit.
void checkSearch(JokeLibrary& library, const std::wstring& needle, const Bytes& needleBytes,
                 bool euro, const std::vector<Bytes>& texts,
                 const std::vector<std::uint32_t>& categories, bool allCategories,
                 bool caseSensitive) {
    const char* how = caseSensitive ? " case-sensitive search" : " folded search";
    auto of = [how](const char* before, const char* after = "") {
        return [=] { return before + std::string(how) + after; };
    };
    std::uint32_t returned = library.search(needle, allCategories, caseSensitive);
    fuzz::expectEqualAt(of("getSearchText after the"), needle, library.getSearchText());
    std::vector<std::wstring> boxes = fuzz::takeMessageBoxes();
    if (needle.size() < 3) {
        expectEqual(of("hits of a refused")(), 0, returned);
        expectEqual(of("message boxes of a refused")(), 1, boxes.size());
        expectEqual(of("warning of a refused")(), L"Gib mindestens drei Buchstaben ein!", boxes[0]);
        return;
    }
    fuzz::expectEqualAt(of("message boxes of the"), std::size_t{0}, boxes.size());

    std::vector<Hit> expected;
    if (!euro) {
        expected = referenceHits(texts, categories, needleBytes, caseSensitive);
    }
    fuzz::expectEqualAt(of("hits returned by the"), expected.size(), std::size_t{returned});
    fuzz::expectEqualAt(of("getHitCount after the"), expected.size(),
                        std::size_t{library.getHitCount()});
    const std::vector<std::uint32_t>& hitCategories = library.getHitCategories();
    const std::vector<std::uint32_t>& hitJokes = library.getHitJokes();
    if (hitCategories.size() < expected.size() + 1 || hitJokes.size() < expected.size() + 1 ||
        hitCategories[0] != 0 || hitJokes[0] != 0) {
        fuzz::fail(of("hit lists of the")(), L"placeholder 0 and every hit", L"shorter lists");
    }
    auto which = [how](const char* what, std::size_t i) {
        return [=] { return what + std::to_string(i + 1) + " of the" + how; };
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        fuzz::expectEqualAt(which("category of hit ", i), expected[i].category,
                            hitCategories[i + 1]);
        fuzz::expectEqualAt(which("joke of hit ", i), expected[i].joke, hitJokes[i + 1]);
    }

    // The same search handing out each hit's line: the same hits, each with its line as
    // stored, or none for a line longer than the search keeps. Each line is checked as it comes.
    std::size_t visited = 0;
    std::uint32_t again = library.search(
        needle, allCategories, caseSensitive,
        [&](std::uint32_t n, std::uint32_t joke, const unsigned char* line, std::size_t size) {
            std::size_t i = visited++;
            if (i >= expected.size()) {
                return; // the count below tells
            }
            fuzz::expectEqualAt(which("category of line ", i), expected[i].category, n);
            fuzz::expectEqualAt(which("joke of line ", i), expected[i].joke, joke);
            std::string_view bytes =
                line ? std::string_view(reinterpret_cast<const char*>(line), size)
                     : std::string_view();
            if (bytes.empty() && expected[i].line.size() > 64 * 1024) {
                return;
            }
            if (bytes != expected[i].line) {
                fuzz::fail(which("bytes of line ", i)(), fuzz::widen(Bytes(expected[i].line)),
                           fuzz::widen(Bytes(bytes)));
            }
        });
    fuzz::expectEqualAt(of("hits returned by the", " with lines"), expected.size(),
                        std::size_t{again});
    fuzz::expectEqualAt(of("lines visited by the"), expected.size(), visited);
    fuzz::expectEqualAt(of("hits of the", " after the one with lines"), expected.size(),
                        std::size_t{library.getHitCount()});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 6) {
        return 0;
    }
    fuzz::InWorkingDirectory inFolder;
    const unsigned flags = data[0];
    const bool caseSensitiveFirst = flags & 1;
    const std::size_t fileCount = (flags >> 1 & 3) % 3 + 1;
    const unsigned mode = data[5] >> 4;
    const bool euro = data[5] & 1;
    const bool allCategories = !(flags & 0x40);
    const std::size_t needleLength = data[1] >= 0xFD ? data[1] - 0xFD : 3 + data[1] % 29;
    const std::size_t offset = data[2];

    Bytes rest(reinterpret_cast<const char*>(data) + 6, size - 6);
    const Bytes needleBytes = rest.substr(0, needleLength);
    rest.erase(0, needleBytes.size());
    std::wstring needle = fuzz::widen(needleBytes);
    if (euro) {
        needle += L'\u20AC';
    }
    Bytes filler = flags & 0x80
                       ? needleBytes.substr(0, needleBytes.size() - (needleBytes.empty() ? 0 : 1))
                       : needleBytes.substr(0, 1);

    // Cut points in proportion to the two split bytes.
    std::size_t low = rest.size() * std::min(data[3], data[4]) / 255;
    std::size_t high = rest.size() * std::max(data[3], data[4]) / 255;
    std::vector<Bytes> pieces =
        fileCount == 1   ? std::vector<Bytes>{rest}
        : fileCount == 2 ? std::vector<Bytes>{rest.substr(0, high), rest.substr(high)}
                         : std::vector<Bytes>{rest.substr(0, low), rest.substr(low, high - low),
                                              rest.substr(high)};
    fuzz::clearJokeFolder();
    // The text-mode reading of each file, by its name's letter; the bytes themselves go to the
    // folder.
    std::vector<Bytes> textOf;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        Bytes raw = mode == 4 ? straddle(needleBytes, offset, filler, pieces[i])
                              : fuzz::expand(mode, offset, filler, pieces[i]);
        textOf.push_back(fuzz::textMode(raw));
        fuzz::writeJokeFile(std::string(1, static_cast<char>('a' + i)), std::move(raw));
    }

    JokeLibrary library;
    expectEqual("category count", fileCount, library.getCategoryCount());
    // Categories are numbered in the listing's order, whatever it is.
    std::vector<Bytes> texts;
    for (const std::wstring& name : library.getCategoryFiles()) {
        texts.push_back(std::move(textOf.at(static_cast<std::size_t>(name.at(0) - L'a'))));
    }
    std::vector<std::uint32_t> categories;
    if (allCategories) {
        for (std::uint32_t n = 1; n <= fileCount; ++n) {
            categories.push_back(n);
        }
    } else {
        std::uint32_t chosen = (data[3] ^ data[4]) % fileCount + 1;
        library.selectCategory(chosen);
        categories.push_back(chosen);
    }

    for (ScanLoops loops : {ScanLoops::sse2, ScanLoops::plain}) {
        chooseScanLoops(loops);
        checkSearch(library, needle, needleBytes, euro, texts, categories, allCategories,
                    caseSensitiveFirst);
        checkSearch(library, needle, needleBytes, euro, texts, categories, allCategories,
                    !caseSensitiveFirst);
    }
    inFolder.expectFilesClosed();
    return 0;
}
