// Decoding one UTF-8 sequence, shared by the POSIX file names and witz's import and checks.
#pragma once

#include <cstddef>

// How many bytes at the start of data (within size) belong to the UTF-8 sequence that starts
// there, by Unicode's table of well-formed sequences (no overlong forms, surrogates or values
// past U+10FFFF): its length with its value, whole set, when it is well-formed; otherwise the
// bytes that begin one and then break off, at least 1, whole clear.
std::size_t utf8Sequence(const unsigned char* data, std::size_t size, char32_t& value, bool& whole);

// The length of the valid UTF-8 sequence at the start of data (1 to 4 bytes, within size) with
// its value, or 0 when there is none there.
std::size_t decodeUtf8(const unsigned char* data, std::size_t size, char32_t& value);
