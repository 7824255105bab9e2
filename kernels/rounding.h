// SPDX-License-Identifier: MIT
// The two ways a double becomes an int: rounded (pixel values) or truncated
// toward zero (sizes and positions on screen).
#pragma once

#include <climits>
#include <cmath>

// Rounds to the nearest integer, halves away from zero (2.5 -> 3, -2.5 -> -3).
inline int RoundToInt(double value)
{
    double integral = std::trunc(value);
    const double fraction = value - integral;
    if (std::fabs(fraction) >= 0.5)
        integral += fraction > 0.0 ? 1.0 : -1.0;
    return static_cast<int>(integral);
}

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
