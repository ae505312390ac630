// Jokes that repeat another: the same letters and digits, case aside, wherever they stand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A hash of the letters and digits of a joke line in ISO 8859-1 (solution parts included, A to
// Z and À to Þ folded to their small letters); 0 when the line has no letter or digit, so it
// repeats nothing.
std::uint64_t jokeKey(const char* line, std::size_t size);
// What jokeKey hashes: the letters and digits of the line, capitals made small.
std::string jokeLetters(const char* line, std::size_t size);

struct JokePlace {
    std::uint32_t category; // in the order the files were added, from 0
    std::uint32_t joke;     // as Pointex counts them, from 1
};

struct Duplicate {
    JokePlace copy;
    JokePlace first; // the earliest joke with the same key
};

// The jokes of whole collections, kept as 16 bytes each, and those that repeat an earlier one.
// Jokes whose hashes agree are compared by their letters before one counts as a repeat; those
// letters are taken from the bytes of their categories read once more, so that a big collection
// costs no more memory than its hashes.
class DuplicateFinder {
  public:
    // Gives the bytes of a category once more, as addFile took them (for addJokes: the jokes,
    // each after the one before and an LF); false when they cannot be read, and its jokes then
    // repeat none and are repeated by none.
    using Reread = std::function<bool(std::uint32_t category, std::string& bytes)>;

    // Adds every joke of a joke file's bytes (up to a 0x1A, as Pointex reads it) as the next
    // category; returns that category's number.
    std::uint32_t addFile(const std::string& bytes);
    // Adds jokes without line ends as the next category.
    std::uint32_t addJokes(const std::vector<std::string>& jokes);

    // Every joke whose key an earlier joke (an earlier category, or before it in its own) has,
    // in the order the jokes were added. Sorts the jokes in place rather than copying them.
    std::vector<Duplicate> duplicates(const Reread& reread);

  private:
    struct Entry {
        std::uint64_t key;
        JokePlace place;
    };
    std::vector<Entry> entries;
    std::uint32_t categories = 0;
};
