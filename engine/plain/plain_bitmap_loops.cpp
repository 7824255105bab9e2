// SPDX-License-Identifier: MIT
// The loops over the bitmaps, one accessor call per pixel.
#include "engine/plain/plain_engine.h"

#include "kernels/parallel_for.h"
#include "kernels/pixel_access.h"

#include <algorithm>

namespace plain {

ScanCounts CountScanRectangle(const InpaintJob& job)
{
    ScanCounts counts;
    if (job.maskImage == nullptr || FreeImage_GetBPP(job.maskImage) != 8 ||
        static_cast<int>(FreeImage_GetWidth(job.maskImage)) != job.imageWidth ||
        static_cast<int>(FreeImage_GetHeight(job.maskImage)) != job.imageHeight)
        return counts;
    for (int x = std::max(job.scanMinX, 0); x <= std::min(job.scanMaxX, job.imageWidth - 1); ++x) {
        for (int y = std::max(job.scanMinY, 0); y <= std::min(job.scanMaxY, job.imageHeight - 1); ++y) {
            const int code = ReadMaskValue(job.maskImage, x, y);
            if (code == MaskSource) {
                ++counts.knownCount;
            } else if (code == MaskHole) {
                ++counts.holeCount;
                counts.holeBox.Include(x, y);
            }
        }
    }
    return counts;
}

void CopySourcePixels(const InpaintJob& job, int bytesPerPixel)
{
    for (int x = std::max(job.scanMinX, 0); x <= std::min(job.scanMaxX, job.imageWidth - 1); ++x) {
        for (int y = std::max(job.scanMinY, 0); y <= std::min(job.scanMaxY, job.imageHeight - 1); ++y) {
            if (ReadMaskValue(job.maskImage, x, y) != MaskSource)
                continue;
            int channels[4] = {0, 0, 0, 0};
            ReadPixel(job.sourceImage, x, y, channels, bytesPerPixel);
            WritePixel(job.targetImage, x, y, channels, bytesPerPixel);
        }
    }
}

void PrepareWindow(WorkWindow& window, const PictureView& picture)
{
    for (int r = 0; r < window.height; ++r) {
        for (int c = 0; c < window.width; ++c) {
            const int x = window.originX + c;
            const int y = window.originY + r;
            int code = 0;
            int channels[4] = {0, 0, 0, 0};
            if (x >= 0 && x < picture.imageWidth && y >= 0 && y < picture.imageHeight) {
                code = ReadMaskValue(picture.maskImage, x, y);
                ReadPixel(picture.targetImage, x, y, channels, picture.bytesPerPixel);
            }
            const std::size_t index = static_cast<std::size_t>(r) * window.width + c;
            window.maskBuffer[index] = static_cast<uint8_t>(code & 0xFF);
            if (code == MaskExcluded)
                channels[0] = channels[1] = channels[2] = channels[3] = 0;
            for (int k = 0; k < picture.bytesPerPixel; ++k)
                window.colourBuffer[index * picture.bytesPerPixel + k] = static_cast<uint8_t>(channels[k]);
        }
    }
}

void WriteBackWindow(const WorkWindow& window, const PictureView& picture)
{
    for (int r = 0; r < window.height; ++r) {
        for (int c = 0; c < window.width; ++c) {
            const int x = window.originX + c;
            const int y = window.originY + r;
            if (x < 0 || x >= picture.imageWidth || y < 0 || y >= picture.imageHeight)
                continue;
            const std::size_t index = static_cast<std::size_t>(r) * window.width + c;
            const int code = window.maskBuffer[index];
            WriteMaskValue(picture.maskImage, x, y, code);
            if (code == MaskExcluded)
                continue;
            int channels[4] = {0, 0, 0, 0};
            for (int k = 0; k < picture.bytesPerPixel; ++k)
                channels[k] = window.colourBuffer[index * picture.bytesPerPixel + k];
            WritePixel(picture.targetImage, x, y, channels, picture.bytesPerPixel);
        }
    }
}

void PromoteFilledCodes(int x0, int x1, int y0, int y1, FIBITMAP* maskImage)
{
    ParallelFor(x0, x1 + 1, [=](int x) {
        for (int y = y0; y <= y1; ++y)
            if (IsFilledCode(ReadMaskValue(maskImage, x, y)))
                WriteMaskValue(maskImage, x, y, MaskSource);
    });
}

} // namespace plain
