// Turning fortune files and plain text into the lines of a joke file, and the rules for a
// category's file name; no file is touched here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editing.h"
#include "encoding.h"
#include "records.h"

struct SourceReading {
    SourceFormat format; // never automatic
    SourceEncoding encoding;
    bool byteOrderMark = false;
};

// A character that has no place in a joke file, or bytes that are no character of the source's
// encoding, where they stand in the source.
struct ImportProblem {
    std::wstring source;
    std::uint32_t record; // from 1, empty records counted
    std::uint32_t line;   // line of the source, from 1
    std::uint32_t column; // character of that line, from 1
    char32_t character;   // `undecodable` for bytes
    std::string bytes;    // the undecodable bytes
    SourceReading reading;
};

// The problems a conversion keeps to be shown one by one; the others are counted. A big source
// in another script holds a problem for nearly every character.
constexpr std::size_t problemsKept = 50;

struct Conversion {
    // Each one line of the joke file in ISO 8859-1, with 0x11 and 0x12, without its LF.
    std::vector<std::string> jokes;
    std::uint32_t skipped = 0;  // records empty or only white space
    std::uint32_t mapped = 0;   // characters written in their plain forms ("EUR" for €)
    std::uint32_t replaced = 0; // characters and undecodable bytes written as "?" (only with
                                // replaceUnknown)
    std::uint32_t drawings = 0; // records left out as drawings
    // What stops the import without replaceUnknown: characters that have no place in a joke
    // file, runs of undecodable bytes, and the first problemsKept of them, in order.
    std::uint32_t refusedCharacters = 0;
    std::uint32_t refusedBytes = 0;
    std::vector<ImportProblem> problems;

    bool stopped() const { return refusedCharacters + refusedBytes > 0; }
};

// Adds the records of one source (decoded as decode has it; LF or CR LF) to the conversion,
// edited by the rules chosen.
SourceReading convertSource(const std::string& bytes, const std::wstring& sourceName,
                            SourceFormat format, bool replaceUnknown, Conversion& conversion,
                            const Editing& editing = Editing());

// The same for a source already decoded (decoded is decode(bytes)).
SourceReading convertDecoded(const std::string& bytes, const DecodedSource& decoded,
                             const std::wstring& sourceName, SourceFormat format,
                             bool replaceUnknown, Conversion& conversion,
                             const Editing& editing = Editing());

// The joke file after appending jokes to existing bytes (empty for a new file): one line per
// joke and no LF after the last, so the file counts exactly the old jokes plus the new ones.
std::string appendJokes(const std::string& existing, const std::vector<std::string>& jokes);
