// Decoding one UTF-8 sequence.
#include "utf8.h"

std::size_t decodeUtf8(const unsigned char* data, std::size_t size, char32_t& value) {
    if (size == 0) {
        return 0;
    }
    const unsigned char lead = data[0];
    const std::size_t length = lead < 0x80           ? 1
                               : (lead >> 5) == 0x6  ? 2
                               : (lead >> 4) == 0xE  ? 3
                               : (lead >> 3) == 0x1E ? 4
                                                     : 0;
    if (length == 0 || length > size) {
        return 0;
    }
    char32_t decoded = length == 1   ? lead
                       : length == 2 ? lead & 0x1F
                       : length == 3 ? lead & 0x0F
                                     : lead & 0x07;
    for (std::size_t k = 1; k < length; ++k) {
        if ((data[k] & 0xC0) != 0x80) {
            return 0;
        }
        decoded = (decoded << 6) | (data[k] & 0x3F);
    }
    static const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (decoded < smallest[length] || decoded > 0x10FFFF ||
        (decoded >= 0xD800 && decoded <= 0xDFFF)) {
        return 0;
    }
    value = decoded;
    return length;
}
