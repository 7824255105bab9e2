// SPDX-License-Identifier: MIT
#include "engine/fill_choice.h"

namespace {

constexpr double WholeRegionRatio = 100.0;
// Stands in for the ratio when nothing is known: any value above the limit.
constexpr double NoKnownRatio = 1000.0;

} // namespace

bool ChoosesWholeRegionFill(long long holeCount, long long knownCount)
{
    const double ratio =
        knownCount == 0 ? NoKnownRatio : static_cast<double>(holeCount) / static_cast<double>(knownCount);
    return ratio > WholeRegionRatio;
}
