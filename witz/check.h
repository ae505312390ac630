// What makes a joke file show differently from what its author meant, found in its bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Finding {
    std::uint32_t joke;   // the joke's number as Pointex counts it
    std::uint64_t offset; // byte offset in the file, from 0
    std::wstring text;    // German, what is wrong and what it does
};

// Lines longer than this make the window's text area slow.
constexpr std::size_t longLine = 64 * 1024;

// The findings of one file's bytes in the order of their offsets, each kind at most a few
// times, with the rest counted in one more finding.
std::vector<Finding> checkJokeFile(const std::string& bytes);
