// JokeLibrary::search: streams each chosen joke file in blocks and records every line that
// holds the text, in constant memory whatever the length of a file or a line.
#include "library/joke_library.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "library/byte_scan.h"
#include "library/joke_reader.h"
#include "library/platform.h"

namespace {

// Rough rarity of a byte in German prose: the scan looks for the pattern's two rarest bytes.
int commonness(unsigned char b) {
    static const char frequent[] = " enirstadhulcgmobwfkzpvjyxq";
    if (const char* at = std::strchr(frequent, b); at != nullptr && b != 0) {
        return 100 - static_cast<int>(at - frequent);
    }
    if (b >= 'A' && b <= 'Z') {
        return 40;
    }
    return b < 0x80 && b != lineBreak && b != partSeparator ? 30 : 20;
}

// Length of a text in UTF-16 code units (wchar_t is 32 bits wide on some systems).
std::size_t utf16Length(const std::wstring& text) {
    std::size_t length = text.size();
    for (wchar_t c : text) {
        length += (static_cast<std::uint32_t>(c) >> 16) != 0 ? 1 : 0;
    }
    return length;
}

// Receives a hit's line number and its bytes; null and 0 for a line longer than is kept.
using LineVisitor = std::function<void(std::uint32_t line, const unsigned char*, std::size_t)>;

// Finds the lines of one file that contain a byte pattern. Only the current block and the
// last pattern-length - 1 bytes of the line it ends in are held; with a line visitor also a
// copy of the block to fold and up to maxLineKept bytes of the line the block ends in.
class LineMatcher {
  public:
    LineMatcher(const std::vector<unsigned char>& pattern, bool ignoreCase)
        : pattern(pattern), ignoreCase(ignoreCase) {
        rare = rarest(pattern.size());
        other = rarest(rare);
        carry.reserve(2 * pattern.size());
    }

    template <typename OnHit>
    void scan(JokeFile& file, OnHit onHit, const LineVisitor* lines) {
        std::uint32_t line = 1;
        bool lineHit = false;
        carry.clear();
        head.clear();
        headWhole = true;
        for (JokeFile::Block block = file.nextBlock(); block.size > 0; block = file.nextBlock()) {
            // text keeps the bytes as stored for the visitor; data is what is searched.
            const unsigned char* text = block.data;
            unsigned char* data = block.data;
            std::size_t size = block.size;
            if (ignoreCase && lines != nullptr) {
                folded.resize(size);
                data = folded.data();
                foldCase(text, data, size);
            } else if (ignoreCase) {
                foldCase(data, data, size);
            }
            if (!lineHit && !carry.empty() && matchesAcrossBoundary(data, size)) {
                onHit(line);
                lineHit = true;
            }
            std::size_t pos = 0;
            while (pos < size) {
                if (lineHit) {
                    const void* end = std::memchr(data + pos, lineEnd, size - pos);
                    if (end == nullptr) {
                        pos = size;
                        break;
                    }
                    std::size_t stop =
                        static_cast<std::size_t>(static_cast<const unsigned char*>(end) - data);
                    if (lines != nullptr) {
                        // The hit's line began in an earlier block (pos is 0 here).
                        visitLine(*lines, line, text, 0, stop);
                    }
                    pos = stop + 1;
                    ++line;
                    lineHit = false;
                    continue;
                }
                std::size_t match = find(data, pos, size);
                if (match == size) {
                    line += static_cast<std::uint32_t>(countLineEnds(data + pos, size - pos));
                    break;
                }
                line += static_cast<std::uint32_t>(countLineEnds(data + pos, match - pos));
                onHit(line);
                lineHit = true;
                if (lines != nullptr) {
                    // pos is a line's start, or 0 where the block goes on with a line.
                    std::size_t start = match;
                    while (start > pos && text[start - 1] != lineEnd) {
                        --start;
                    }
                    const void* end = std::memchr(text + match, lineEnd, size - match);
                    if (end == nullptr) {
                        break; // the line goes on in the next block; keepLineHead keeps it
                    }
                    std::size_t stop =
                        static_cast<std::size_t>(static_cast<const unsigned char*>(end) - text);
                    visitLine(*lines, line, text, start, stop);
                    pos = stop + 1;
                    ++line;
                    lineHit = false;
                    continue;
                }
                pos = match;
            }
            keepTail(data, size, lineHit);
            if (lines != nullptr) {
                keepLineHead(text, size);
            }
        }
        if (lines != nullptr && lineHit) {
            visitLine(*lines, line, nullptr, 0, 0); // the last line, without LF, is all in head
        }
    }

  private:
    static constexpr std::size_t maxLineKept = 64 * 1024;

    // Hands out the hit's line: text[start, stop) of this block, after the kept head when the
    // line began in an earlier block (start 0).
    void visitLine(const LineVisitor& visit, std::uint32_t line, const unsigned char* text,
                   std::size_t start, std::size_t stop) {
        if (start > 0 || head.empty()) {
            if (start == 0 && !headWhole) {
                visit(line, nullptr, 0);
            } else {
                visit(line, text + start, stop - start);
            }
            return;
        }
        head.insert(head.end(), text, text + stop);
        visit(line, head.data(), head.size());
    }

    // Keeps the bytes of the line the block ends in, from its start, while they are few
    // enough; headWhole tells whether head still holds that line from its first byte.
    void keepLineHead(const unsigned char* text, std::size_t size) {
        std::size_t lineStart = size;
        while (lineStart > 0 && text[lineStart - 1] != lineEnd) {
            --lineStart;
        }
        if (lineStart > 0) {
            head.clear();
            headWhole = true;
        }
        if (!headWhole) {
            return;
        }
        if (head.size() + (size - lineStart) > maxLineKept) {
            head.clear();
            headWhole = false;
            return;
        }
        head.insert(head.end(), text + lineStart, text + size);
    }

    // The index of the pattern's rarest byte other than the one at index skip.
    std::size_t rarest(std::size_t skip) const {
        std::size_t best = skip == 0 && pattern.size() > 1 ? 1 : 0;
        for (std::size_t i = best + 1; i < pattern.size(); ++i) {
            if (i != skip && commonness(pattern[i]) < commonness(pattern[best])) {
                best = i;
            }
        }
        return best;
    }

    // First position at or after pos where the whole pattern stands inside [0, size); size if none.
    std::size_t find(const unsigned char* data, std::size_t pos, std::size_t size) const {
        const std::size_t length = pattern.size();
        if (size < length) {
            return size;
        }
        const std::size_t end = size - length + 1; // one past the last possible start
        for (std::size_t start = pos; start < end;) {
            start += skipChunksWithoutPair(data + start + rare, data + start + other, end - start,
                                           pattern[rare], pattern[other]);
            for (std::size_t stop = std::min(start + pairChunk, end); start < stop; ++start) {
                if (data[start + rare] == pattern[rare] && data[start + other] == pattern[other] &&
                    std::memcmp(data + start, pattern.data(), length) == 0) {
                    return start;
                }
            }
        }
        return size;
    }

    // A match that begins in the kept tail of the line and ends in this block.
    bool matchesAcrossBoundary(const unsigned char* data, std::size_t size) {
        std::size_t head = std::min(size, pattern.size() - 1);
        if (const void* end = std::memchr(data, lineEnd, head)) {
            head = static_cast<std::size_t>(static_cast<const unsigned char*>(end) - data);
        }
        std::size_t kept = carry.size();
        carry.insert(carry.end(), data, data + head);
        bool found =
            std::search(carry.begin(), carry.end(), pattern.begin(), pattern.end()) != carry.end();
        carry.resize(kept);
        return found;
    }

    // Keeps the last pattern-length - 1 bytes of the line the block ends in.
    void keepTail(const unsigned char* data, std::size_t size, bool lineHit) {
        const std::size_t keep = pattern.size() - 1;
        if (lineHit) {
            carry.clear();
            return;
        }
        std::size_t lineStart = size;
        while (lineStart > 0 && size - lineStart < keep && data[lineStart - 1] != lineEnd) {
            --lineStart;
        }
        if (lineStart > 0 && data[lineStart - 1] == lineEnd) {
            carry.clear();
        }
        carry.insert(carry.end(), data + lineStart, data + size);
        if (carry.size() > keep) {
            carry.erase(carry.begin(), carry.end() - static_cast<std::ptrdiff_t>(keep));
        }
    }

    const std::vector<unsigned char>& pattern;
    const bool ignoreCase;
    std::size_t rare;
    std::size_t other;
    std::vector<unsigned char> carry;
    std::vector<unsigned char> head;
    bool headWhole = true;
    std::vector<unsigned char> folded;
};

} // namespace

std::uint32_t JokeLibrary::search(const std::wstring& text, bool allCategories,
                                  bool caseSensitive) {
    return search(text, allCategories, caseSensitive, HitLineVisitor());
}

std::uint32_t JokeLibrary::search(const std::wstring& text, bool allCategories, bool caseSensitive,
                                  const HitLineVisitor& visit) {
    searchText = text;
    if (!loaded) {
        hitCount = 0;
        return 0;
    }
    if (!allCategories && currentCategory == 0) {
        platform::messageBox(L"Keine Kategorie ausgew\u00e4hlt!", L"Warnung", 0x30);
        hitCount = 0;
        return 0;
    }
    if (utf16Length(text) < 3) {
        platform::messageBox(L"Gib mindestens drei Buchstaben ein!", L"Warnung", 0x30);
        hitCount = 0;
        return 0;
    }
    hitCategories.clear();
    hitJokes.clear();
    hitCategories.push_back(0);
    hitJokes.push_back(0);
    std::uint32_t hits = 0;

    // Joke files hold characters up to U+00FF only, and a line never holds its LF, so a text
    // with anything else cannot match.
    bool canMatch = true;
    std::vector<unsigned char> pattern;
    for (wchar_t c : text) {
        canMatch = canMatch && static_cast<std::uint32_t>(c) <= 0xFF && c != L'\n';
        pattern.push_back(static_cast<unsigned char>(c));
    }
    // With case ignored, the capitals of ISO 8859-1 count as their small letters; the search
    // text keeps them as typed.
    if (!caseSensitive) {
        foldCase(pattern.data(), pattern.data(), pattern.size());
    }

    std::uint32_t first = allCategories ? 1 : currentCategory;
    std::uint32_t last = allCategories ? getCategoryCount() : currentCategory;
    LineMatcher matcher(pattern, !caseSensitive);
    for (std::uint32_t n = first; canMatch && n <= last && n != 0; ++n) {
        JokeFile file(categoryPath(n));
        if (!file.isOpen()) {
            continue;
        }
        LineVisitor lines;
        if (visit) {
            lines = [&visit, n](std::uint32_t line, const unsigned char* bytes, std::size_t size) {
                visit(n, line, bytes, size);
            };
        }
        matcher.scan(
            file,
            [&](std::uint32_t line) {
                hitCategories.push_back(n);
                hitJokes.push_back(line);
                ++hits;
            },
            visit ? &lines : nullptr);
    }
    hitCount = hits;
    return hitCount;
}
