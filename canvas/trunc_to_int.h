// SPDX-License-Identifier: MIT
// Sizes and positions computed in double precision are truncated toward zero.
#pragma once

#include <climits>

// Truncates toward zero; values beyond the int range give its ends and NaN
// gives 0, so a degenerate zoom never makes the conversion undefined.
inline int TruncToInt(double value)
{
    if (!(value == value))
        return 0;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}
