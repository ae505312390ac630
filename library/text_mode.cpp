// Text-mode reading over raw bytes: CR LF folded to LF across reads, 0x1A as the end.
#include "text_mode.h"

#include <cstring>

namespace platform {

// Turns CR LF into LF in place; a CR at the very end is held back until the next byte is known.
// Moves whole runs between CRs, since a file with CR LF has one in every line.
std::size_t TextModeFile::foldLineEnds(unsigned char* buffer, std::size_t size) {
    unsigned char* const end = buffer + size;
    auto* in = static_cast<unsigned char*>(std::memchr(buffer, '\r', size));
    if (in == nullptr) {
        return size;
    }
    unsigned char* out = in;
    while (in != end) {
        // in is at a CR.
        if (in + 1 == end && !ended) {
            pendingCR = true;
            break;
        }
        if (in + 1 == end || in[1] != '\n') {
            *out++ = '\r';
        }
        ++in;
        std::size_t rest = static_cast<std::size_t>(end - in);
        auto* next = static_cast<unsigned char*>(std::memchr(in, '\r', rest));
        std::size_t run = next != nullptr ? static_cast<std::size_t>(next - in) : rest;
        std::memmove(out, in, run);
        out += run;
        in += run;
    }
    return static_cast<std::size_t>(out - buffer);
}

std::size_t TextModeFile::read(unsigned char* buffer, std::size_t size) {
    while (size > 0) {
        std::size_t start = 0;
        if (peeked >= 0) {
            // Neither CR, LF nor 0x1A: an ordinary byte.
            buffer[0] = static_cast<unsigned char>(peeked);
            peeked = -1;
            start = 1;
        } else if (pendingCR) {
            pendingCR = false;
            buffer[0] = '\r';
            start = 1;
            if (size == 1) {
                // No room to look ahead in the caller's buffer: read one byte ahead.
                unsigned char next = 0;
                if (ended || readRaw(&next, 1) != 1 || next == 0x1A) {
                    ended = true;
                    return 1;
                }
                if (next == '\n') {
                    buffer[0] = '\n';
                } else if (next == '\r') {
                    pendingCR = true;
                } else {
                    peeked = next;
                }
                return 1;
            }
        }
        if (ended || start == size) {
            return start;
        }
        std::size_t count = readRaw(buffer + start, size - start);
        if (count == 0) {
            ended = true;
            return start;
        }
        std::size_t total = start + count;
        if (auto* end = static_cast<unsigned char*>(std::memchr(buffer + start, 0x1A, count))) {
            total = static_cast<std::size_t>(end - buffer);
            ended = true;
        }
        std::size_t produced = foldLineEnds(buffer, total);
        if (produced > 0 || ended) {
            return produced;
        }
        // The block was a lone CR held back; read on so 0 keeps meaning "end".
    }
    return 0;
}

} // namespace platform
