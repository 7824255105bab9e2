// SPDX-License-Identifier: MIT
// The whole-region fill with one accessor call per pixel read, its means
// taken in doubles and rounded.
#include "engine/plain/plain_engine.h"

#include "engine/fill_record.h"
#include "kernels/pixel_access.h"
#include "kernels/rounding.h"

#include <cstddef>
#include <vector>

namespace plain {

namespace {

// The rounded mean of the known 8-neighbours of (x, y); false when none is known.
bool AverageNeighbours(const PictureView& picture, int x, int y, int average[4])
{
    double sums[4] = {0.0, 0.0, 0.0, 0.0};
    int count = 0;
    for (const NeighbourOffset& offset : NeighbourOffsets) {
        const int nx = x + offset.dx;
        const int ny = y + offset.dy;
        if (!IsKnownCode(ReadMaskValue(picture.maskImage, nx, ny)))
            continue;
        int channels[4] = {0, 0, 0, 0};
        ReadPixel(picture.targetImage, nx, ny, channels, picture.bytesPerPixel);
        for (int k = 0; k < picture.bytesPerPixel; ++k)
            sums[k] += channels[k];
        ++count;
    }
    if (count == 0)
        return false;
    for (int k = 0; k < picture.bytesPerPixel; ++k)
        average[k] = RoundToInt(sums[k] / count);
    return true;
}

// Fills (x, y) when it is a hole that can be averaged, giving it code.
bool FillPixel(const PictureView& picture, int x, int y, int code)
{
    int average[4] = {0, 0, 0, 0};
    if (ReadMaskValue(picture.maskImage, x, y) != MaskHole || !AverageNeighbours(picture, x, y, average))
        return false;
    WritePixel(picture.targetImage, x, y, average, picture.bytesPerPixel);
    WriteMaskValue(picture.maskImage, x, y, code);
    if (picture.record != nullptr)
        picture.record->averaged.push_back({x, y});
    return true;
}

} // namespace

void FillWholeRegion(const PictureView& picture, int minX, int maxX, int minY, int maxY)
{
    std::vector<WindowPoint> growth;

    // Pixels filled earlier in the sweep are already known (254) and feed
    // the ones visited after them.
    for (int y = minY; y <= maxY; ++y)
        for (int x = minX; x <= maxX; ++x)
            if (FillPixel(picture, x, y, MaskDiffused))
                growth.push_back({x, y});
    for (const WindowPoint& p : growth)
        WriteMaskValue(picture.maskImage, p.x, p.y, MaskSource);

    // Each wave visits the pixels the previous one filled, in the order they
    // were filled; what it fills waits for the next wave.
    while (!growth.empty()) {
        const std::size_t waveSize = growth.size();
        for (std::size_t i = 0; i < waveSize; ++i) {
            const WindowPoint p = growth[i];
            for (const NeighbourOffset& offset : NeighbourOffsets)
                if (FillPixel(picture, p.x + offset.dx, p.y + offset.dy, MaskSource))
                    growth.push_back({p.x + offset.dx, p.y + offset.dy});
        }
        growth.erase(growth.begin(), growth.begin() + static_cast<std::ptrdiff_t>(waveSize));
    }
}

} // namespace plain
