// Shared by the fuzz targets: a private joke folder, the size modes of an input, and the plain
// reference reading of a joke file that the real reader is checked against.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "joke_reader.h"

namespace fuzz {

using Bytes = std::string;

// The reader fills blocks of this many bytes (small in the fuzz build); the size modes place
// data across their boundaries.
constexpr std::size_t blockSize = readBlockSize;

// While it lives, the library sees a working directory holding "Witze", and message boxes are
// recorded instead of printed. The working directory and its files are held in memory, or with
// POINTEX_FUZZ_REAL_FILES=1 are a temporary directory on disk (made on first use, removed at
// exit); the previous working directory comes back after each input then, since libFuzzer opens
// its corpus by relative paths. Memory files are removed when it goes.
class InWorkingDirectory {
  public:
    InWorkingDirectory();
    ~InWorkingDirectory();
    InWorkingDirectory(const InWorkingDirectory&) = delete;
    InWorkingDirectory& operator=(const InWorkingDirectory&) = delete;

    // Fails when more files are open now than when the input began: every reader closes its file.
    void expectFilesClosed() const;

  private:
    std::size_t openFiles;
};

// Whether the joke folder is on disk (POINTEX_FUZZ_REAL_FILES=1) rather than in memory.
bool realFiles();
std::wstring jokeFolder();
// Empties Witze, then writes bytes to Witze/name.
void clearJokeFolder();
void writeJokeFile(const std::string& name, Bytes bytes);
// Message boxes shown since the last call.
std::vector<std::wstring> takeMessageBoxes();

// How an input's data becomes file bytes, so that short inputs reach past one or two blocks:
// mode (taken modulo 16) 1 and 3 put the data behind a run of filler, so that the first or the
// second block boundary falls 1 + offset % 256 bytes into the data; 2 repeats the data past two
// boundaries; the other modes keep it as it is, so most runs stay small and fast.
Bytes expand(unsigned mode, std::size_t offset, const Bytes& filler, const Bytes& data);
// The first length bytes of pattern repeated, then the bytes of then; pattern not empty.
Bytes repeat(const Bytes& pattern, std::size_t length, const Bytes& then = Bytes());

// The runtime's text mode, written out byte by byte: CR LF reads as LF, a lone CR stays, 0x1A
// ends the file. atBoundaries receives the text offsets at which each raw block boundary falls.
Bytes textMode(const Bytes& raw, std::vector<std::size_t>* atBoundaries = nullptr);
std::vector<Bytes> split(const Bytes& text, char separator);
// Byte b becomes U+00bb.
std::wstring widen(const Bytes& bytes);
// Every `from` byte becomes CR LF.
Bytes crlfFor(const Bytes& text, char from);

// Reports a mismatch with both texts shown and aborts, so libFuzzer saves the input.
[[noreturn]] void fail(const std::string& what, const std::wstring& expected,
                       const std::wstring& actual);
void expectEqual(const std::string& what, const std::wstring& expected, const std::wstring& actual);
void expectEqual(const std::string& what, std::size_t expected, std::size_t actual);
// As expectEqual, with the description made only on a mismatch: for the checks run on every part
// of every joke, making it cost more than the check.
template <typename Describe, typename Expected, typename Actual>
void expectEqualAt(Describe describe, const Expected& expected, const Actual& actual) {
    if (!(expected == actual)) {
        expectEqual(describe(), expected, actual);
    }
}

} // namespace fuzz
