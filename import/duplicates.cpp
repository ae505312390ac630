// The comparison key of a joke, and the search for jokes with an earlier joke's key.
#include "duplicates.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "library/latin1.h"

// The fuzz build keeps a few bits of the hash only, so that jokes that differ share a hash often
// and their comparison is fuzzed too.
#ifndef POINTEX_JOKE_HASH_BITS
#define POINTEX_JOKE_HASH_BITS 64
#endif

namespace {

constexpr int hashBits = POINTEX_JOKE_HASH_BITS;

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
    if constexpr (hashBits < 64) {
        hash &= (std::uint64_t(1) << hashBits) - 1;
    }
    return hash != 0 ? hash : 1;
}

std::string jokeLetters(const char* line, std::size_t size) {
    std::string letters;
    for (std::size_t i = 0; i < size; ++i) {
        if (unsigned char c = keyBytes[static_cast<unsigned char>(line[i])]) {
            letters += static_cast<char>(c);
        }
    }
    return letters;
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

std::vector<Duplicate> DuplicateFinder::duplicates(const Reread& reread) {
    auto before = [](const JokePlace& a, const JokePlace& b) {
        return a.category != b.category ? a.category < b.category : a.joke < b.joke;
    };
    // By hash, then place: the jokes of each run of equal hashes are the candidates.
    std::sort(entries.begin(), entries.end(), [&before](const Entry& a, const Entry& b) {
        return a.key != b.key ? a.key < b.key : before(a.place, b.place);
    });
    struct Candidate {
        JokePlace place;
        std::uint32_t run;
        std::uint64_t key;
    };
    std::vector<Candidate> candidates;
    std::vector<std::uint32_t> left; // of each run, the candidates not yet compared
    for (std::size_t k = 0; k < entries.size();) {
        std::size_t end = k + 1;
        while (end < entries.size() && entries[end].key == entries[k].key) {
            ++end;
        }
        if (end - k > 1) {
            for (std::size_t m = k; m < end; ++m) {
                candidates.push_back(
                    {entries[m].place, static_cast<std::uint32_t>(left.size()), entries[m].key});
            }
            left.push_back(static_cast<std::uint32_t>(end - k));
        }
        k = end;
    }
    // In the order of their places, each category read once more; each candidate compared with
    // the earlier ones of its run that differ from each other, which are kept until the run's
    // last candidate is through (nearly always one joke a run).
    std::sort(
        candidates.begin(), candidates.end(),
        [&before](const Candidate& a, const Candidate& b) { return before(a.place, b.place); });
    std::vector<std::vector<std::pair<std::string, JokePlace>>> originals(left.size());
    std::vector<Duplicate> found;
    std::string bytes;
    for (std::size_t k = 0; k < candidates.size();) {
        std::uint32_t category = candidates[k].place.category;
        std::size_t end = k;
        while (end < candidates.size() && candidates[end].place.category == category) {
            ++end;
        }
        bool read = reread(category, bytes);
        std::size_t next = k;
        forEachLine(read ? bytes : std::string(), [&](std::uint32_t joke, const char* line,
                                                      std::size_t size) {
            for (; next < end && candidates[next].place.joke <= joke; ++next) {
                const Candidate& candidate = candidates[next];
                // A joke that changed since it was hashed is compared with nothing.
                if (candidate.place.joke != joke || jokeKey(line, size) != candidate.key) {
                    continue;
                }
                std::string letters = jokeLetters(line, size);
                auto& run = originals[candidate.run];
                auto same = std::find_if(run.begin(), run.end(), [&](const auto& original) {
                    return original.first == letters;
                });
                if (same != run.end()) {
                    found.push_back({candidate.place, same->second});
                } else {
                    run.emplace_back(std::move(letters), candidate.place);
                }
            }
        });
        for (std::size_t m = k; m < end; ++m) {
            if (--left[candidates[m].run] == 0) {
                originals[candidates[m].run] = {};
            }
        }
        k = end;
    }
    std::sort(found.begin(), found.end(),
              [&before](const Duplicate& a, const Duplicate& b) { return before(a.copy, b.copy); });
    return found;
}
