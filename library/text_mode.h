// The Windows runtime's text-mode reading done in code over raw bytes, for systems whose runtime
// has no text mode and for files held in memory.
#pragma once

#include <cstddef>

#include "platform.h"

namespace platform {

// A TextFile over a source of raw bytes: CR LF reads as LF, a lone CR stays, 0x1A ends the
// file. Each source (a file descriptor, bytes in memory) supplies only readRaw.
class TextModeFile : public TextFile {
  public:
    std::size_t read(unsigned char* buffer, std::size_t size) final;

  protected:
    // Fills up to size raw bytes; returns how many, 0 at the end or on a read error.
    virtual std::size_t readRaw(unsigned char* buffer, std::size_t size) = 0;

  private:
    std::size_t foldLineEnds(unsigned char* buffer, std::size_t size);

    bool ended = false;     // 0x1A, the end of the source or a read error was reached
    bool pendingCR = false; // a CR ended the last block; the next byte decides whether it stays
    int peeked = -1;        // a byte read ahead to decide about a CR, handed out next
};

} // namespace platform
