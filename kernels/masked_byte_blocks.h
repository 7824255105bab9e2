// SPDX-License-Identifier: MIT
// Masked byte blocks: the two comparisons the exemplar search makes for every
// row of every candidate, over a row of bytes of which only some count
// (a mask byte per byte says which): whether the counted mask codes all have
// one value, and the summed absolute difference of the counted colour bytes.
// A row carries its own mask, so the known pixels of a target row cost the
// same few whole-block operations however the hole splits them.
//
// Each block policy reads count bytes rounded up to whole blocks (16 or 32
// bytes): the caller keeps that much readable, and its masks zero beyond
// count. All are exact integer work, so every policy gives PlainBlocks' answers.
#pragma once

#include <cstdint>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

// One byte at a time: the meaning of both comparisons.
struct PlainBlocks {
    // Whether every byte of codes whose skip byte is 0 equals value (skip
    // bytes are 0 or 0xFF).
    static bool BytesAre(const uint8_t* codes, const uint8_t* skip, int count, uint8_t value)
    {
        for (int i = 0; i < count; ++i)
            if (skip[i] == 0 && codes[i] != value)
                return false;
        return true;
    }

    // The summed absolute difference of a and b over the bytes whose keep
    // byte is 0xFF; b must be 0 wherever keep is 0.
    static int SumAbsDiff(const uint8_t* a, const uint8_t* b, const uint8_t* keep, int count)
    {
        int sum = 0;
        for (int i = 0; i < count; ++i)
            sum += std::abs(static_cast<int>(a[i] & keep[i]) - static_cast<int>(b[i]));
        return sum;
    }
};

#if defined(__SSE2__)

// 16-byte blocks, on every processor the program is built for.
struct NarrowBlocks {
    static __m128i Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

    static bool BytesAre(const uint8_t* codes, const uint8_t* skip, int count, uint8_t value)
    {
        const __m128i wanted = _mm_set1_epi8(static_cast<char>(value));
        __m128i all = _mm_set1_epi8(-1);
        for (int i = 0; i < count; i += 16)
            all = _mm_and_si128(all, _mm_or_si128(_mm_cmpeq_epi8(Load(codes + i), wanted), Load(skip + i)));
        return _mm_movemask_epi8(all) == 0xFFFF;
    }

    static int SumAbsDiff(const uint8_t* a, const uint8_t* b, const uint8_t* keep, int count)
    {
        __m128i total = _mm_setzero_si128();
        for (int i = 0; i < count; i += 16)
            total = _mm_add_epi64(total, _mm_sad_epu8(_mm_and_si128(Load(a + i), Load(keep + i)), Load(b + i)));
        return _mm_cvtsi128_si32(total) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(total, total));
    }
};

#else
using NarrowBlocks = PlainBlocks;
#endif

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__)) && defined(__SSE2__)

// Whether this processor runs WideBlocks; ask before calling them.
inline bool HasWideBlocks()
{
    return __builtin_cpu_supports("avx2");
}

// 32-byte blocks for processors with AVX2. Marked for AVX2 one by one, so
// any code may call them once HasWideBlocks said yes.
struct WideBlocks {
    __attribute__((target("avx2"))) static __m256i Load(const uint8_t* p)
    {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }

    __attribute__((target("avx2"))) static bool BytesAre(const uint8_t* codes, const uint8_t* skip, int count,
                                                         uint8_t value)
    {
        const __m256i wanted = _mm256_set1_epi8(static_cast<char>(value));
        __m256i all = _mm256_set1_epi8(-1);
        for (int i = 0; i < count; i += 32)
            all = _mm256_and_si256(all, _mm256_or_si256(_mm256_cmpeq_epi8(Load(codes + i), wanted), Load(skip + i)));
        return _mm256_movemask_epi8(all) == -1;
    }

    __attribute__((target("avx2"))) static int SumAbsDiff(const uint8_t* a, const uint8_t* b, const uint8_t* keep,
                                                          int count)
    {
        __m256i total = _mm256_setzero_si256();
        for (int i = 0; i < count; i += 32)
            total = _mm256_add_epi64(total, _mm256_sad_epu8(_mm256_and_si256(Load(a + i), Load(keep + i)), Load(b + i)));
        const __m128i both = _mm_add_epi64(_mm256_castsi256_si128(total), _mm256_extracti128_si256(total, 1));
        return _mm_cvtsi128_si32(both) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(both, both));
    }
};

#else

inline bool HasWideBlocks()
{
    return false;
}

using WideBlocks = NarrowBlocks;

#endif
