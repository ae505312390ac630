// The comparison key of a joke, and the search for jokes with an earlier joke's key.
#include "duplicates.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "library/latin1.h"

namespace {

// Each byte of ISO 8859-1 as it counts in a key: 0 when it does not (blanks, punctuation, 0x11,
// 0x12, control bytes), else the byte with capitals folded to small letters.
std::array<unsigned char, 256> makeKeyBytes() {
    std::array<unsigned char, 256> table{};
    for (int byte = 0; byte < 256; ++byte) {
        auto c = static_cast<unsigned char>(byte);
        table[byte] = latin1::isWordCharacter(c) ? latin1::folded(c) : 0;
    }
    return table;
}

const std::array<unsigned char, 256> keyBytes = makeKeyBytes();

// Calls visit(joke, line, size) for every line up to the first 0x1A, jokes counted from 1.
template <typename Visit>
void forEachLine(const std::string& bytes, Visit visit) {
    std::size_t end = std::min(bytes.find('\x1A'), bytes.size());
    std::uint32_t joke = 1;
    std::size_t start = 0;
    for (;;) {
        std::size_t lineEnd = bytes.find('\n', start);
        if (lineEnd == std::string::npos || lineEnd >= end) {
            visit(joke, bytes.data() + start, end - start);
            return;
        }
        visit(joke++, bytes.data() + start, lineEnd - start);
        start = lineEnd + 1;
    }
}

// One step of the hash: for a given hash, two different words give two different results.
std::uint64_t mixWord(std::uint64_t hash, const unsigned char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, 8);
    hash = (hash ^ word) * 0x9E3779B97F4A7C15ULL;
    return hash ^ (hash >> 32);
}

} // namespace

std::uint64_t jokeKey(const char* line, std::size_t size) {
    // The bytes that count are gathered without a branch, a block at a time, and hashed eight
    // at a time; 64 bits leave a false match among a million jokes at odds of about one in 30
    // million.
    constexpr std::size_t block = 256;
    unsigned char kept[block + 8];
    std::size_t held = 0;     // gathered, not yet hashed
    std::uint64_t length = 0; // hashed
    std::uint64_t hash = 0;
    for (std::size_t start = 0; start < size; start += block) {
        for (std::size_t i = start, end = std::min(size, start + block); i < end; ++i) {
            unsigned char c = keyBytes[static_cast<unsigned char>(line[i])];
            kept[held] = c;
            held += c != 0;
        }
        std::size_t whole = held / 8 * 8;
        for (std::size_t k = 0; k < whole; k += 8) {
            hash = mixWord(hash, kept + k);
        }
        std::memmove(kept, kept + whole, held - whole);
        held -= whole;
        length += whole;
    }
    if (length + held == 0) {
        return 0;
    }
    // The last bytes padded with zeros, which no byte that counts is, then the length mixed in.
    std::memset(kept + held, 0, 8);
    hash = mixWord(hash, kept) ^ (length + held);
    hash = (hash ^ (hash >> 30)) * 0xBF58476D1CE4E5B9ULL;
    hash = (hash ^ (hash >> 27)) * 0x94D049BB133111EBULL;
    hash ^= hash >> 31;
    return hash != 0 ? hash : 1;
}

std::uint32_t DuplicateFinder::addFile(const std::string& bytes) {
    forEachLine(bytes, [this](std::uint32_t joke, const char* line, std::size_t size) {
        if (std::uint64_t key = jokeKey(line, size)) {
            entries.push_back({key, {categories, joke}});
        }
    });
    return categories++;
}

std::uint32_t DuplicateFinder::addJokes(const std::vector<std::string>& jokes) {
    for (std::size_t k = 0; k < jokes.size(); ++k) {
        if (std::uint64_t key = jokeKey(jokes[k].data(), jokes[k].size())) {
            entries.push_back({key, {categories, static_cast<std::uint32_t>(k + 1)}});
        }
    }
    return categories++;
}

std::vector<Duplicate> DuplicateFinder::duplicates() {
    auto before = [](const JokePlace& a, const JokePlace& b) {
        return a.category != b.category ? a.category < b.category : a.joke < b.joke;
    };
    // By key, then place: the first of each run of equal keys is the original.
    std::sort(entries.begin(), entries.end(), [&before](const Entry& a, const Entry& b) {
        return a.key != b.key ? a.key < b.key : before(a.place, b.place);
    });
    std::vector<Duplicate> found;
    for (std::size_t k = 1, first = 0; k < entries.size(); ++k) {
        if (entries[k].key != entries[first].key) {
            first = k;
        } else {
            found.push_back({entries[k].place, entries[first].place});
        }
    }
    std::sort(found.begin(), found.end(),
              [&before](const Duplicate& a, const Duplicate& b) { return before(a.copy, b.copy); });
    return found;
}
