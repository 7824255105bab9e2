// SPDX-License-Identifier: MIT
// The two comparisons the exemplar search makes for every row of every
// candidate, over a row of bytes of which only some count: whether the
// counted mask codes all have one value, and the summed absolute difference
// of the counted colour bytes. A row carries its own table of which bytes
// count, so the known pixels of a target row cost the same few whole-block
// operations however the hole splits them.
//
// Both read count bytes rounded up to whole blocks (16 or 32 bytes): the
// caller keeps that much readable, and its tables zero beyond count. Both
// are exact integer work, so every version gives the plain loops' answers.
#pragma once

#include <cstdint>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Whether every byte of codes whose skip byte is 0 equals value (skip bytes
// are 0 or 0xFF).
inline bool KeptBytesArePlain(const uint8_t* codes, const uint8_t* skip, int count, uint8_t value)
{
    for (int i = 0; i < count; ++i)
        if (skip[i] == 0 && codes[i] != value)
            return false;
    return true;
}

// The summed absolute difference of a and b over the bytes whose keep byte
// is 0xFF; b must be 0 wherever keep is 0.
inline int KeptSumAbsDiffPlain(const uint8_t* a, const uint8_t* b, const uint8_t* keep, int count)
{
    int sum = 0;
    for (int i = 0; i < count; ++i)
        sum += std::abs(static_cast<int>(a[i] & keep[i]) - static_cast<int>(b[i]));
    return sum;
}

#if defined(__SSE2__)

namespace kept_bytes_detail {

inline __m128i Load(const uint8_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

} // namespace kept_bytes_detail

inline bool KeptBytesAre(const uint8_t* codes, const uint8_t* skip, int count, uint8_t value)
{
    using namespace kept_bytes_detail;
    const __m128i wanted = _mm_set1_epi8(static_cast<char>(value));
    __m128i all = _mm_set1_epi8(-1);
    for (int i = 0; i < count; i += 16)
        all = _mm_and_si128(all, _mm_or_si128(_mm_cmpeq_epi8(Load(codes + i), wanted), Load(skip + i)));
    return _mm_movemask_epi8(all) == 0xFFFF;
}

inline int KeptSumAbsDiff(const uint8_t* a, const uint8_t* b, const uint8_t* keep, int count)
{
    using namespace kept_bytes_detail;
    __m128i total = _mm_setzero_si128();
    for (int i = 0; i < count; i += 16)
        total = _mm_add_epi64(total, _mm_sad_epu8(_mm_and_si128(Load(a + i), Load(keep + i)), Load(b + i)));
    return _mm_cvtsi128_si32(total) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(total, total));
}

#else

inline bool KeptBytesAre(const uint8_t* codes, const uint8_t* skip, int count, uint8_t value)
{
    return KeptBytesArePlain(codes, skip, count, value);
}

inline int KeptSumAbsDiff(const uint8_t* a, const uint8_t* b, const uint8_t* keep, int count)
{
    return KeptSumAbsDiffPlain(a, b, keep, count);
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

namespace kept_bytes_detail {

__attribute__((target("avx2"))) inline __m256i LoadWide(const uint8_t* p)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

} // namespace kept_bytes_detail

__attribute__((target("avx2"))) inline bool KeptBytesAreWide(const uint8_t* codes, const uint8_t* skip, int count,
                                                              uint8_t value)
{
    using namespace kept_bytes_detail;
    const __m256i wanted = _mm256_set1_epi8(static_cast<char>(value));
    __m256i all = _mm256_set1_epi8(-1);
    for (int i = 0; i < count; i += 32)
        all = _mm256_and_si256(all, _mm256_or_si256(_mm256_cmpeq_epi8(LoadWide(codes + i), wanted), LoadWide(skip + i)));
    return _mm256_movemask_epi8(all) == -1;
}

__attribute__((target("avx2"))) inline int KeptSumAbsDiffWide(const uint8_t* a, const uint8_t* b,
                                                               const uint8_t* keep, int count)
{
    using namespace kept_bytes_detail;
    __m256i total = _mm256_setzero_si256();
    for (int i = 0; i < count; i += 32)
        total = _mm256_add_epi64(total,
                                 _mm256_sad_epu8(_mm256_and_si256(LoadWide(a + i), LoadWide(keep + i)), LoadWide(b + i)));
    const __m128i both = _mm_add_epi64(_mm256_castsi256_si128(total), _mm256_extracti128_si256(total, 1));
    return _mm_cvtsi128_si32(both) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(both, both));
}
#endif
