// SPDX-License-Identifier: MIT
#include "picture/decode_time_budget.h"

#include <algorithm>
#include <cmath>

namespace {

// The slowest sound pictures measured take about 35 ns of processor time a
// pixel (a progressive JPEG of 96 megapixels: 3.2 s) and 20 ns a byte; four
// times that leaves room for a machine busy with other work.
constexpr double SecondsPerPixel = 150e-9;
constexpr double SecondsPerByte = 50e-9;

} // namespace

int DecodeSecondsFor(std::uint64_t fileBytes, long long claimedPixels, int upperSeconds)
{
    const double more = SecondsPerByte * static_cast<double>(fileBytes) +
                        SecondsPerPixel * static_cast<double>(std::max(claimedPixels, 0LL));
    const double bound = std::max(upperSeconds, 1);
    return static_cast<int>(std::min(DecodeFloorSeconds + std::round(more), bound));
}
