// The byte loops with SSE2, 16 bytes a step. Only these functions are compiled for SSE2, and
// they run only where the processor reports it (CPUID): the program starts on any x86.
#include "byte_scan.h"
#include "byte_scan_loops.h"

#if defined(__i386__) || defined(__x86_64__)

#include <emmintrin.h>

#define POINTEX_SSE2 __attribute__((target("sse2")))

namespace sse2 {

POINTEX_SSE2 inline __m128i repeated(unsigned char b) {
    return _mm_set1_epi8(static_cast<char>(b));
}

POINTEX_SSE2 inline __m128i load(const unsigned char* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

POINTEX_SSE2 inline __m128i lineEndsIn(const unsigned char* at) {
    return _mm_cmpeq_epi8(load(at), repeated(0x0A));
}

POINTEX_SSE2 std::size_t countLineEnds(const unsigned char* data, std::size_t size) {
    const __m128i zero = _mm_setzero_si128();
    std::size_t total = 0;
    // Sixteen 8-bit counters that take up to four LF a step of 64 bytes (a compare gives -1
    // where it matches), added up before they can overflow; then 16 bytes a step, then bytes.
    while (size >= 16) {
        __m128i lanes = zero;
        std::size_t steps = size / 64 < 63 ? size / 64 : 63;
        for (const unsigned char* end = data + steps * 64; data != end; data += 64) {
            __m128i four = _mm_add_epi8(_mm_add_epi8(lineEndsIn(data), lineEndsIn(data + 16)),
                                        _mm_add_epi8(lineEndsIn(data + 32), lineEndsIn(data + 48)));
            lanes = _mm_sub_epi8(lanes, four);
        }
        size -= steps * 64;
        if (steps == 0) {
            for (; size >= 16; size -= 16, data += 16) {
                lanes = _mm_sub_epi8(lanes, lineEndsIn(data));
            }
        }
        __m128i sums = _mm_sad_epu8(lanes, zero); // one sum in each half
        total += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                 static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums)));
    }
    for (std::size_t i = 0; i < size; ++i) {
        total += data[i] == 0x0A;
    }
    return total;
}

POINTEX_SSE2 void foldCase(const unsigned char* from, unsigned char* to, std::size_t size) {
    // Adding 0x3F puts A to Z, adding 0xC0 puts U+00C0 to U+00DE, at the bottom of the signed
    // range, where one signed comparison finds them. All of them lack the bit 0x20.
    const __m128i fromA = repeated(0x80 - 'A');
    const __m128i pastZ = repeated(0x80 + 26);
    const __m128i fromAGrave = repeated(0xC0);
    const __m128i pastThorn = repeated(0x80 + 31);
    const __m128i times = repeated(0xD7);
    const __m128i small = repeated(0x20);
    const std::size_t whole = size - size % 16;
    std::size_t i = 0;
    for (; i != whole; i += 16) {
        __m128i bytes = load(from + i);
        __m128i ascii = _mm_cmplt_epi8(_mm_add_epi8(bytes, fromA), pastZ);
        __m128i latin =
            _mm_andnot_si128(_mm_cmpeq_epi8(bytes, times),
                             _mm_cmplt_epi8(_mm_add_epi8(bytes, fromAGrave), pastThorn));
        __m128i folded = _mm_or_si128(bytes, _mm_and_si128(_mm_or_si128(ascii, latin), small));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), folded);
    }
    for (; i < size; ++i) {
        to[i] = foldedByte(from[i]);
    }
}

POINTEX_SSE2 std::size_t skipChunksWithoutPair(const unsigned char* first,
                                               const unsigned char* second, std::size_t starts,
                                               unsigned char a, unsigned char b) {
    const __m128i wantedFirst = repeated(a);
    const __m128i wantedSecond = repeated(b);
    std::size_t done = 0;
    for (; starts - done >= pairChunk; done += pairChunk) {
        __m128i both = _mm_setzero_si128();
        for (std::size_t k = done; k < done + pairChunk; k += 16) {
            both =
                _mm_or_si128(both, _mm_and_si128(_mm_cmpeq_epi8(load(first + k), wantedFirst),
                                                 _mm_cmpeq_epi8(load(second + k), wantedSecond)));
        }
        if (_mm_movemask_epi8(both) != 0) {
            break;
        }
    }
    return done;
}

} // namespace sse2

const ScanFunctions* sse2Scan() {
    static const ScanFunctions functions = {sse2::countLineEnds, sse2::foldCase,
                                            sse2::skipChunksWithoutPair};
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2") ? &functions : nullptr;
}

#else

const ScanFunctions* sse2Scan() {
    return nullptr;
}

#endif
