// A plain reference of what Pointex shows and finds for the bytes of a joke file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace model {

// The bytes as the runtime's text mode delivers them: CR LF as LF, nothing from 0x1A on.
std::string textMode(const std::string& bytes);
// The jokes of a file in order: its lines, the bytes after the last LF included.
std::vector<std::string> jokes(const std::string& bytes);
// The parts of one joke, split at every 0x12; the first is the joke text.
std::vector<std::string> parts(const std::string& joke);
// The joke view after the joke and its first `revealed` solution parts: parts joined by an
// empty line, 0x11 as CR LF, byte b as U+00bb; each piece the program hands the edit control
// ends at its first 0x00.
std::wstring view(const std::vector<std::string>& parts, std::size_t revealed);
// Joke numbers (from 1) whose line holds the pattern; the capitals of ISO 8859-1 folded unless
// caseSensitive.
std::vector<std::uint32_t> hits(const std::string& bytes, const std::wstring& pattern,
                                bool caseSensitive);

// Seeded joke-file bytes weighted towards the bytes with a meaning: LF, CR, 0x11, 0x12, 0x00,
// 0x80 to 0xFF; 0x1A only when endMark is set, once, in the last quarter.
std::string randomJokeFile(std::uint32_t seed, std::size_t size, bool endMark);

} // namespace model
