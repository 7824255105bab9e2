// SPDX-License-Identifier: MIT
// The rounded mean of up to eight neighbours' channel values.
#pragma once

#include <cstdint>

// RoundToInt(sum / count) for a sum of count channel values (count 1 to 8,
// so sum at most 2040), in integers: the mean rounds up exactly when its
// fraction is at least one half, which floor((2 sum + count) / (2 count))
// gives too. The division is a multiplication by 2^20 / (2 count) rounded
// up, whose error stays below 2^-8 for these numerators while a quotient's
// fraction is never within 1/16 of the next integer, so it is exact.
inline int RoundedMean(int sum, int count)
{
    static constexpr uint32_t Reciprocal[9] = {0,
                                               (1u << 20) / 2 + 1,
                                               (1u << 20) / 4 + 1,
                                               (1u << 20) / 6 + 1,
                                               (1u << 20) / 8 + 1,
                                               (1u << 20) / 10 + 1,
                                               (1u << 20) / 12 + 1,
                                               (1u << 20) / 14 + 1,
                                               (1u << 20) / 16 + 1};
    const uint32_t numerator = 2u * static_cast<uint32_t>(sum) + static_cast<uint32_t>(count);
    return static_cast<int>((numerator * Reciprocal[count]) >> 20);
}
