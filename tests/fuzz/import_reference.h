// The references the import fuzz target checks witz import against, sharing no code with it:
// glibc's iconv for the decoding, and the rules of witz(1) for the rest.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "import/convert.h"

namespace reference {

using Bytes = std::string;

// Whether a byte of ISO 8859-1 is a letter, as glibc's classes have it (C.UTF-8).
bool isLetter(char c);

// A source's characters as witz(1) reads them, decoded by iconv; each run of bytes that is no
// character of the encoding stands as `undecodable`.
struct Decoding {
    std::u32string text;
    SourceEncoding encoding = SourceEncoding::utf8;
    bool mark = false;
    struct Run {
        std::uint32_t line;
        std::uint32_t column;
        Bytes bytes;
    };
    std::vector<Run> undecodable;
};

Decoding decode(const Bytes& bytes);

// A character the import stops at, or (undecodable) bytes.
struct Problem {
    std::uint32_t record;
    std::uint32_t line;
    std::uint32_t column;
    Bytes bytes;
};

// What one or more sources come to without editing.
struct Result {
    std::vector<Bytes> jokes;
    std::uint32_t skipped = 0;
    std::uint32_t mapped = 0;
    std::uint32_t unknown = 0;     // stopped at, or replaced
    std::uint32_t undecoded = 0;   // of those, runs of undecodable bytes
    std::vector<Problem> problems; // the first that stop the import, as many as witz keeps
    std::vector<SourceReading> readings;
};

// Adds the entries of a decoded source, converted as witz(1) says, without editing.
void read(const Decoding& decoding, SourceFormat format, bool replaceUnknown, Result& result);

// Part of the text with which witz refuses a source that is no text, empty for text.
std::wstring whyNotText(const Bytes& bytes);

// The new jokes that no joke of the categories (their bytes), nor an earlier new one, repeats.
std::vector<Bytes> withoutRepeats(const std::vector<Bytes>& categories,
                                  const std::vector<Bytes>& jokes);

} // namespace reference
