// Block-wise reading of joke files and plain text files under the runtime's text-mode rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform.h"

// Bytes read from a file at a time. The fuzz targets build the core with small blocks, so that
// short inputs already cross block boundaries.
#ifndef POINTEX_READ_BLOCK_SIZE
#define POINTEX_READ_BLOCK_SIZE (128 * 1024)
#endif
constexpr std::size_t readBlockSize = POINTEX_READ_BLOCK_SIZE;

// The bytes with a meaning inside a joke file.
constexpr unsigned char lineEnd = 0x0A;
constexpr unsigned char partSeparator = 0x12;
constexpr unsigned char lineBreak = 0x11;

// One open joke file, read from its first byte in blocks; closed when the object goes.
class JokeFile {
  public:
    explicit JokeFile(const std::wstring& path);
    JokeFile(const JokeFile&) = delete;
    JokeFile& operator=(const JokeFile&) = delete;

    bool isOpen() const { return file != nullptr; }

    // Number of LF from here to the end of the file.
    std::uint32_t countLineEnds();

    // From the start of the file, passes n - 1 LF so that line n comes next (nothing for n 0
    // or 1); stops at the end of a file with fewer lines.
    void skipToLine(std::uint32_t n);

    enum class PartEnd { separator, lineEnd, fileEnd };

    // Appends the bytes up to the next 0x12, LF or end as characters (byte b is U+00bb) and
    // tells what ended the part. The ending byte is consumed, not appended.
    PartEnd readPart(std::wstring& text);
    PartEnd skipPart();

    // The unread rest of the current block, refilled when empty; size 0 at the end of the file.
    // The bytes are the caller's to change until the next call.
    struct Block {
        unsigned char* data;
        std::size_t size;
    };
    Block nextBlock();

  private:
    bool fill();
    template <typename Append>
    PartEnd scanPart(Append append);

    std::unique_ptr<platform::TextFile> file;
    std::unique_ptr<unsigned char[]> buffer;
    std::size_t position = 0;
    std::size_t length = 0;
};

// Every U+0011 becomes CR LF: the line break inside a joke.
std::wstring expandLineBreaks(const std::wstring& text);

// The whole content of a plain text file with LF and 0x0F as CR LF, or the not-found text.
std::wstring readTextFile(const std::wstring& name);

// The decimal text of a 32-bit number, as "%d" writes it.
std::wstring intToString(std::int32_t value);
