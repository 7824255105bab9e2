// SPDX-License-Identifier: MIT
// Whole-region fill by neighbour averaging, for holes too large for patches
// and for whatever the patch passes could not reach.
#include "engine/whole_region_fill.h"

#include "engine/inpaint_job.h"
#include "kernels/bitmap_rows.h"
#include "kernels/pixel_access.h"

#include <cstddef>
#include <vector>

namespace {

// The two bitmaps by scan line; positions outside the picture read as
// excluded, as the per-pixel accessors would give them.
struct FillPlanes {
    BitmapRows mask;
    BitmapRows colour;
    int bytesPerPixel;

    int Code(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < mask.width && y < mask.height ? int{mask.Row(y)[x]} : int{MaskExcluded};
    }
    void SetCode(int x, int y, int code) const { mask.Row(y)[x] = static_cast<uint8_t>(code); }
    uint8_t* Pixel(int x, int y) const { return colour.Row(y) + static_cast<std::size_t>(x) * bytesPerPixel; }
};

// The rounded mean of the known 8-neighbours of (x, y); false when none is
// known. The channel sums are whole numbers far below 2^53, so summing them
// as integers gives exactly the double sums the mean is taken from.
template <int BytesPerPixel>
bool AverageNeighboursOf(const FillPlanes& planes, int x, int y, int average[4])
{
    const bool inside = x > 0 && y > 0 && x + 1 < planes.mask.width && y + 1 < planes.mask.height;
    int sums[4] = {0, 0, 0, 0};
    int count = 0;
    for (const NeighbourOffset& offset : NeighbourOffsets) {
        const int nx = x + offset.dx;
        const int ny = y + offset.dy;
        const int code = inside ? planes.mask.Row(ny)[nx] : planes.Code(nx, ny);
        if (!IsKnownCode(code))
            continue;
        const uint8_t* pixel = planes.Pixel(nx, ny);
        for (int k = 0; k < BytesPerPixel; ++k)
            sums[k] += pixel[k];
        ++count;
    }
    if (count == 0)
        return false;
    for (int k = 0; k < BytesPerPixel; ++k)
        average[k] = RoundToInt(static_cast<double>(sums[k]) / count);
    return true;
}

bool AverageNeighbours(const FillPlanes& planes, int x, int y, int average[4])
{
    switch (planes.bytesPerPixel) {
    case 1: return AverageNeighboursOf<1>(planes, x, y, average);
    case 3: return AverageNeighboursOf<3>(planes, x, y, average);
    default: return AverageNeighboursOf<4>(planes, x, y, average);
    }
}

void WriteAverage(const FillPlanes& planes, int x, int y, const int average[4])
{
    uint8_t* pixel = planes.Pixel(x, y);
    for (int k = 0; k < planes.bytesPerPixel; ++k)
        pixel[k] = static_cast<uint8_t>(average[k]);
}

} // namespace

void FillWholeRegion(int minX, int maxX, int minY, int maxY, int /*imageWidth*/, int /*imageHeight*/,
                     int bytesPerPixel, FIBITMAP* targetImage, FIBITMAP* maskImage)
{
    if (!HasPlainLayout(maskImage, 1) || !HasPlainLayout(targetImage, bytesPerPixel))
        return;
    const FillPlanes planes{RowsOf(maskImage), RowsOf(targetImage), bytesPerPixel};
    std::vector<WindowPoint> growth;
    int average[4] = {0, 0, 0, 0};

    // Pixels filled earlier in the sweep are already known (254) and feed
    // the ones visited after them.
    for (int y = minY; y <= maxY; ++y) {
        for (int x = minX; x <= maxX; ++x) {
            if (planes.Code(x, y) != MaskHole)
                continue;
            if (!AverageNeighbours(planes, x, y, average))
                continue;
            WriteAverage(planes, x, y, average);
            planes.SetCode(x, y, MaskDiffused);
            growth.push_back({x, y});
        }
    }
    for (const WindowPoint& p : growth)
        planes.SetCode(p.x, p.y, MaskSource);

    // Each wave visits the pixels the previous one filled, in the order they
    // were filled; what it fills waits for the next wave.
    while (!growth.empty()) {
        const std::size_t waveSize = growth.size();
        for (std::size_t i = 0; i < waveSize; ++i) {
            const WindowPoint p = growth[i];
            for (const NeighbourOffset& offset : NeighbourOffsets) {
                const int qx = p.x + offset.dx;
                const int qy = p.y + offset.dy;
                if (planes.Code(qx, qy) != MaskHole)
                    continue;
                if (!AverageNeighbours(planes, qx, qy, average))
                    continue;
                WriteAverage(planes, qx, qy, average);
                planes.SetCode(qx, qy, MaskSource);
                growth.push_back({qx, qy});
            }
        }
        growth.erase(growth.begin(), growth.begin() + static_cast<std::ptrdiff_t>(waveSize));
    }
}
