// SPDX-License-Identifier: MIT
// Two comparisons over runs of bytes that the exemplar search makes for
// every candidate: whether a run of mask codes is all Source, and the summed
// absolute difference of two runs of colour bytes. Both are exact integer
// work, so the vector versions give the same answers as the plain loops.
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

inline bool AllBytesAre(const uint8_t* bytes, int count, uint8_t value)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(static_cast<char>(value));
    for (; i + 16 <= count; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, wanted)) != 0xFFFF)
            return false;
    }
#endif
    return AllBytesArePlain(bytes + i, count - i, value);
}

inline int SumAbsDiff(const uint8_t* a, const uint8_t* b, int count)
{
    int i = 0;
    int sum = 0;
#if defined(__SSE2__)
    __m128i total = _mm_setzero_si128();
    for (; i + 16 <= count; i += 16) {
        const __m128i left = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i right = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        total = _mm_add_epi64(total, _mm_sad_epu8(left, right));
    }
    sum = _mm_cvtsi128_si32(total) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(total, total));
#endif
    return sum + SumAbsDiffPlain(a + i, b + i, count - i);
}
