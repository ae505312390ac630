// Decoding one UTF-8 sequence.
#include "utf8.h"

namespace {

// How long a sequence its first byte starts, and the range of its second byte, which rules out
// overlong forms, surrogates and values past U+10FFFF. The bytes after the second are 0x80 to
// 0xBF.
struct Start {
    std::size_t length; // 0: no sequence starts with this byte
    unsigned low;
    unsigned high;
};

Start startOf(unsigned char lead) {
    if (lead < 0x80) {
        return {1, 0, 0};
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return {2, 0x80, 0xBF};
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return {3, lead == 0xE0 ? 0xA0u : 0x80u, lead == 0xED ? 0x9Fu : 0xBFu};
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return {4, lead == 0xF0 ? 0x90u : 0x80u, lead == 0xF4 ? 0x8Fu : 0xBFu};
    }
    return {0, 0, 0};
}

} // namespace

std::size_t utf8Sequence(const unsigned char* data, std::size_t size, char32_t& value,
                         bool& whole) {
    whole = false;
    if (size == 0) {
        return 0;
    }
    const Start start = startOf(data[0]);
    char32_t decoded = start.length <= 1 ? data[0] : data[0] & (0x7F >> start.length);
    std::size_t length = 1;
    for (; length < start.length && length < size; ++length) {
        const unsigned char next = data[length];
        const bool fits =
            length == 1 ? next >= start.low && next <= start.high : next >= 0x80 && next <= 0xBF;
        if (!fits) {
            break;
        }
        decoded = decoded << 6 | (next & 0x3F);
    }
    whole = start.length > 0 && length == start.length;
    if (whole) {
        value = decoded;
    }
    return length;
}

std::size_t decodeUtf8(const unsigned char* data, std::size_t size, char32_t& value) {
    bool whole = false;
    std::size_t length = utf8Sequence(data, size, value, whole);
    return whole ? length : 0;
}
