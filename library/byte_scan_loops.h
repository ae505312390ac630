// The two forms of the byte loops behind byte_scan.h, as tables of functions.
#pragma once

#include <cstddef>

struct ScanFunctions {
    std::size_t (*countLineEnds)(const unsigned char* data, std::size_t size);
    void (*foldCase)(const unsigned char* from, unsigned char* to, std::size_t size);
    std::size_t (*skipChunksWithoutPair)(const unsigned char* first, const unsigned char* second,
                                         std::size_t starts, unsigned char a, unsigned char b);
};

// The plain loops; foldedByte is their fold of one byte, which the SSE2 fold uses for the rest
// of a range shorter than 16 bytes.
extern const ScanFunctions plainScan;
unsigned char foldedByte(unsigned char b);

// The SSE2 loops, or null where the processor or the build has none. Nothing outside them runs
// SSE2 instructions, so the program starts on any x86 processor.
const ScanFunctions* sse2Scan();
