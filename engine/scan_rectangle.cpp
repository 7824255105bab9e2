// SPDX-License-Identifier: MIT
// Both loops run line by line over the scan lines; every pixel is handled on
// its own, so the order of the visit does not matter.
#include "engine/scan_rectangle.h"

#include "kernels/bitmap_rows.h"

#include <cstddef>
#include <cstring>

namespace {

struct ScanLimits {
    int minX, maxX, minY, maxY;
};

ScanLimits CutToImage(const InpaintJob& job)
{
    return {std::max(job.scanMinX, 0), std::min(job.scanMaxX, job.imageWidth - 1), std::max(job.scanMinY, 0),
            std::min(job.scanMaxY, job.imageHeight - 1)};
}

} // namespace

ScanCounts CountScanRectangle(const InpaintJob& job)
{
    ScanCounts counts;
    if (!HasPlainLayout(job.maskImage, 1))
        return counts;
    const BitmapRows maskRows = RowsOf(job.maskImage);
    if (maskRows.width != job.imageWidth || maskRows.height != job.imageHeight)
        return counts;
    const ScanLimits scan = CutToImage(job);
    for (int y = scan.minY; y <= scan.maxY; ++y) {
        const uint8_t* codes = maskRows.Row(y);
        for (int x = scan.minX; x <= scan.maxX; ++x) {
            if (codes[x] == MaskSource) {
                ++counts.knownCount;
            } else if (codes[x] == MaskHole) {
                ++counts.holeCount;
                counts.holeBox.Include(x, y);
            }
        }
    }
    return counts;
}

void CopySourcePixels(const InpaintJob& job, int bytesPerPixel)
{
    if (job.sourceImage == job.targetImage)
        return;
    const BitmapRows maskRows = RowsOf(job.maskImage);
    const BitmapRows sourceRows = RowsOf(job.sourceImage);
    const BitmapRows targetRows = RowsOf(job.targetImage);
    const ScanLimits scan = CutToImage(job);
    const std::size_t pixelBytes = static_cast<std::size_t>(bytesPerPixel);
    for (int y = scan.minY; y <= scan.maxY; ++y) {
        const uint8_t* codes = maskRows.Row(y);
        for (int x = scan.minX; x <= scan.maxX; ++x)
            if (codes[x] == MaskSource)
                std::memcpy(targetRows.Row(y) + x * pixelBytes, sourceRows.Row(y) + x * pixelBytes, pixelBytes);
    }
}
