// SPDX-License-Identifier: MIT
#include "engine/fill_choice.h"

#include "kernels/pixel_access.h"

#include <algorithm>

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

ScanCounts CountScanRectangle(const InpaintJob& job)
{
    ScanCounts counts;
    if (job.maskImage == nullptr)
        return counts;
    const int minX = std::max(job.scanMinX, 0);
    const int minY = std::max(job.scanMinY, 0);
    const int maxX = std::min(job.scanMaxX, job.imageWidth - 1);
    const int maxY = std::min(job.scanMaxY, job.imageHeight - 1);
    for (int x = minX; x <= maxX; ++x) {
        for (int y = minY; y <= maxY; ++y) {
            const int code = ReadMaskValue(job.maskImage, x, y);
            if (code == MaskSource)
                ++counts.knownCount;
            else if (code == MaskHole)
                ++counts.holeCount;
        }
    }
    return counts;
}
