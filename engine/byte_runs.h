// SPDX-License-Identifier: MIT
// Two comparisons over runs of bytes that the exemplar search makes for
// every candidate: whether a run of mask codes is all one value, and the
// summed absolute difference of two runs of colour bytes. Both are exact
// integer work, so the vector versions give the same answers as the plain
// loops beside them.
//
// The vector versions read whole 16-byte blocks; a run's last block is read
// so that it ends with the run, which may reach up to 15 bytes before the
// run's first byte: those bytes must be readable (they are ignored). In the
// working window every patch lies two rows clear of the buffer's start, and
// the target's bytes are stored behind a lead of 16 bytes.
#pragma once

#include <cstdint>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

inline bool AllBytesArePlain(const uint8_t* bytes, int count, uint8_t value)
{
    for (int i = 0; i < count; ++i)
        if (bytes[i] != value)
            return false;
    return true;
}

inline int SumAbsDiffPlain(const uint8_t* a, const uint8_t* b, int count)
{
    int sum = 0;
    for (int i = 0; i < count; ++i)
        sum += std::abs(static_cast<int>(a[i]) - static_cast<int>(b[i]));
    return sum;
}

#if defined(__SSE2__)

namespace byte_runs_detail {

inline __m128i Load(const uint8_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Lanes 16 - tail to 15 set: the last tail bytes of a block.
inline __m128i LastLanes(int tail)
{
    alignas(16) static constexpr uint8_t lanes[32] = {0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
                                                      0,    0,    0,    0,    0,    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    return Load(lanes + tail);
}

} // namespace byte_runs_detail

inline bool AllBytesAre(const uint8_t* bytes, int count, uint8_t value)
{
    using namespace byte_runs_detail;
    const __m128i wanted = _mm_set1_epi8(static_cast<char>(value));
    int i = 0;
    for (; i + 16 <= count; i += 16)
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(Load(bytes + i), wanted)) != 0xFFFF)
            return false;
    const int tail = count - i;
    if (tail == 0)
        return true;
    const int equal = _mm_movemask_epi8(_mm_cmpeq_epi8(Load(bytes + count - 16), wanted));
    const int ignored = (1 << (16 - tail)) - 1;
    return (equal | ignored) == 0xFFFF;
}

inline int SumAbsDiff(const uint8_t* a, const uint8_t* b, int count)
{
    using namespace byte_runs_detail;
    __m128i total = _mm_setzero_si128();
    int i = 0;
    for (; i + 16 <= count; i += 16)
        total = _mm_add_epi64(total, _mm_sad_epu8(Load(a + i), Load(b + i)));
    const int tail = count - i;
    if (tail > 0) {
        // The block ends with the run; its leading bytes, counted already or
        // outside the run, are made equal so that they add nothing.
        const __m128i keep = LastLanes(tail);
        const __m128i left = Load(a + count - 16);
        const __m128i right = Load(b + count - 16);
        const __m128i masked = _mm_or_si128(_mm_and_si128(keep, left), _mm_andnot_si128(keep, right));
        total = _mm_add_epi64(total, _mm_sad_epu8(masked, right));
    }
    return _mm_cvtsi128_si32(total) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(total, total));
}

#endif

#if !defined(__SSE2__)

inline bool AllBytesAre(const uint8_t* bytes, int count, uint8_t value)
{
    return AllBytesArePlain(bytes, count, value);
}

inline int SumAbsDiff(const uint8_t* a, const uint8_t* b, int count)
{
    return SumAbsDiffPlain(a, b, count);
}

#endif

// The same two comparisons on 32-byte blocks, for processors with AVX2:
// check HasWideBlocks once, and call them only from code compiled for AVX2.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__)) && defined(__SSE2__)
#define QUENLO_WIDE_BLOCKS 1
#include <immintrin.h>

inline bool HasWideBlocks()
{
    return __builtin_cpu_supports("avx2");
}

__attribute__((target("avx2"))) inline bool AllBytesAreWide(const uint8_t* bytes, int count, uint8_t value)
{
    const __m256i wanted = _mm256_set1_epi8(static_cast<char>(value));
    int i = 0;
    for (; i + 32 <= count; i += 32) {
        const __m256i chunk = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + i));
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi8(chunk, wanted)) != -1)
            return false;
    }
    return AllBytesAre(bytes + i, count - i, value);
}

__attribute__((target("avx2"))) inline int SumAbsDiffWide(const uint8_t* a, const uint8_t* b, int count)
{
    __m256i total = _mm256_setzero_si256();
    int i = 0;
    for (; i + 32 <= count; i += 32) {
        const __m256i left = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
        const __m256i right = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
        total = _mm256_add_epi64(total, _mm256_sad_epu8(left, right));
    }
    const __m128i both = _mm_add_epi64(_mm256_castsi256_si128(total), _mm256_extracti128_si256(total, 1));
    const int wide = _mm_cvtsi128_si32(both) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(both, both));
    return wide + SumAbsDiff(a + i, b + i, count - i);
}
#endif
