// The byte loops that reading and searching spend their time in, each in two forms: SSE2, 16
// bytes a step, and plain code for any processor. The processor decides at the first call.
#pragma once

#include <cstddef>

// Number of LF bytes in a range.
std::size_t countLineEnds(const unsigned char* data, std::size_t size);

// Copies size bytes with the capitals of ISO 8859-1 made small: A to Z and U+00C0 to U+00DE
// except the sign U+00D7. Sharp s and y with diaeresis have no capital there and stay as they
// are. from may be to.
void foldCase(const unsigned char* from, unsigned char* to, std::size_t size);

// The search's filter over chunks of pairChunk starts: how many starts (a multiple of
// pairChunk) come before the first chunk in which some start k has first[k] == a and
// second[k] == b. Stops before the last chunk of fewer than pairChunk starts.
constexpr std::size_t pairChunk = 64;
std::size_t skipChunksWithoutPair(const unsigned char* first, const unsigned char* second,
                                  std::size_t starts, unsigned char a, unsigned char b);

// Which form the loops above take: SSE2 where the processor has it.
enum class ScanLoops { plain, sse2 };
ScanLoops scanLoops();
// Makes the loops take the given form, SSE2 only where the processor has it; returns the form
// taken. The tests run both.
ScanLoops chooseScanLoops(ScanLoops wanted);
