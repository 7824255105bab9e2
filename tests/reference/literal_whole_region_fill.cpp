// SPDX-License-Identifier: MIT
// The whole-region fill as first written: one accessor call per pixel read.
#include "reference/literal_engine.h"

#include "kernels/pixel_access.h"
#include "kernels/rounding.h"

#include <cstddef>
#include <vector>

namespace reference {

namespace {

// The rounded mean of the known 8-neighbours of (x, y); false when none is known.
bool AverageNeighbours(int x, int y, int bytesPerPixel, FIBITMAP* targetImage, FIBITMAP* maskImage,
                       int average[4])
{
    double sums[4] = {0.0, 0.0, 0.0, 0.0};
    int count = 0;
    for (const NeighbourOffset& offset : NeighbourOffsets) {
        const int nx = x + offset.dx;
        const int ny = y + offset.dy;
        if (!IsKnownCode(ReadMaskValue(maskImage, nx, ny)))
            continue;
        int channels[4] = {0, 0, 0, 0};
        ReadPixel(targetImage, nx, ny, channels, bytesPerPixel);
        for (int k = 0; k < bytesPerPixel; ++k)
            sums[k] += channels[k];
        ++count;
    }
    if (count == 0)
        return false;
    for (int k = 0; k < bytesPerPixel; ++k)
        average[k] = RoundToInt(sums[k] / count);
    return true;
}

} // namespace

void FillWholeRegion(int minX, int maxX, int minY, int maxY, int /*imageWidth*/, int /*imageHeight*/,
                     int bytesPerPixel, FIBITMAP* targetImage, FIBITMAP* maskImage)
{
    std::vector<WindowPoint> growth;
    int average[4] = {0, 0, 0, 0};

    // Pixels filled earlier in the sweep are already known (254) and feed
    // the ones visited after them.
    for (int y = minY; y <= maxY; ++y) {
        for (int x = minX; x <= maxX; ++x) {
            if (ReadMaskValue(maskImage, x, y) != MaskHole)
                continue;
            if (!AverageNeighbours(x, y, bytesPerPixel, targetImage, maskImage, average))
                continue;
            WritePixel(targetImage, x, y, average, bytesPerPixel);
            WriteMaskValue(maskImage, x, y, MaskDiffused);
            growth.push_back({x, y});
        }
    }
    for (const WindowPoint& p : growth)
        WriteMaskValue(maskImage, p.x, p.y, MaskSource);

    // Each wave visits the pixels the previous one filled, in the order they
    // were filled; what it fills waits for the next wave.
    while (!growth.empty()) {
        const std::size_t waveSize = growth.size();
        for (std::size_t i = 0; i < waveSize; ++i) {
            const WindowPoint p = growth[i];
            for (const NeighbourOffset& offset : NeighbourOffsets) {
                const int qx = p.x + offset.dx;
                const int qy = p.y + offset.dy;
                if (ReadMaskValue(maskImage, qx, qy) != MaskHole)
                    continue;
                if (!AverageNeighbours(qx, qy, bytesPerPixel, targetImage, maskImage, average))
                    continue;
                WritePixel(targetImage, qx, qy, average, bytesPerPixel);
                WriteMaskValue(maskImage, qx, qy, MaskSource);
                growth.push_back({qx, qy});
            }
        }
        growth.erase(growth.begin(), growth.begin() + static_cast<std::ptrdiff_t>(waveSize));
    }
}

} // namespace reference
