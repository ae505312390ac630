// Decoding one UTF-8 sequence, shared by the POSIX file names and witz's import and checks.
#pragma once

#include <cstddef>

// The length of the valid UTF-8 sequence at the start of data (1 to 4 bytes, within size) with
// its value, or 0 when there is none there: overlong forms, surrogates and values past U+10FFFF
// are not valid.
std::size_t decodeUtf8(const unsigned char* data, std::size_t size, char32_t& value);
