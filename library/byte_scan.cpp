// The plain byte loops, and the choice between them and the SSE2 ones.
#include "byte_scan.h"

#include "byte_scan_loops.h"
#include "latin1.h"

namespace {

constexpr unsigned char lineEnd = 0x0A;

struct FoldTable {
    unsigned char to[256];
    constexpr FoldTable() : to() {
        for (unsigned b = 0; b < 256; ++b) {
            to[b] = latin1::folded(static_cast<unsigned char>(b));
        }
    }
};
constexpr FoldTable foldTable;

std::size_t countPlain(const unsigned char* data, std::size_t size) {
    std::size_t total = 0;
    for (std::size_t i = 0; i < size; ++i) {
        total += data[i] == lineEnd;
    }
    return total;
}

void foldPlain(const unsigned char* from, unsigned char* to, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        to[i] = foldTable.to[from[i]];
    }
}

std::size_t skipPlain(const unsigned char* first, const unsigned char* second, std::size_t starts,
                      unsigned char a, unsigned char b) {
    std::size_t done = 0;
    for (; starts - done >= pairChunk; done += pairChunk) {
        for (std::size_t k = done; k < done + pairChunk; ++k) {
            if (first[k] == a && second[k] == b) {
                return done;
            }
        }
    }
    return done;
}

const ScanFunctions*& chosen() {
    static const ScanFunctions* functions = sse2Scan() != nullptr ? sse2Scan() : &plainScan;
    return functions;
}

} // namespace

const ScanFunctions plainScan = {countPlain, foldPlain, skipPlain};

unsigned char foldedByte(unsigned char b) {
    return foldTable.to[b];
}

std::size_t countLineEnds(const unsigned char* data, std::size_t size) {
    return chosen()->countLineEnds(data, size);
}

void foldCase(const unsigned char* from, unsigned char* to, std::size_t size) {
    chosen()->foldCase(from, to, size);
}

std::size_t skipChunksWithoutPair(const unsigned char* first, const unsigned char* second,
                                  std::size_t starts, unsigned char a, unsigned char b) {
    return chosen()->skipChunksWithoutPair(first, second, starts, a, b);
}

ScanLoops scanLoops() {
    return chosen() == &plainScan ? ScanLoops::plain : ScanLoops::sse2;
}

ScanLoops chooseScanLoops(ScanLoops wanted) {
    chosen() = wanted == ScanLoops::sse2 && sse2Scan() != nullptr ? sse2Scan() : &plainScan;
    return scanLoops();
}
