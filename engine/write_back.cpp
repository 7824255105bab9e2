// SPDX-License-Identifier: MIT
#include "engine/write_back.h"

#include "kernels/bitmap_rows.h"
#include "kernels/parallel_for.h"

#include <algorithm>
#include <cstring>

void WriteBackWindow(const WorkWindow& window, const PictureView& picture)
{
    const int bytesPerPixel = picture.bytesPerPixel;
    const BitmapRows maskRows = RowsOf(picture.maskImage);
    const BitmapRows colourRows = RowsOf(picture.targetImage);
    const int firstInside = std::clamp(-window.originX, 0, window.width);
    const int endInside = std::clamp(picture.imageWidth - window.originX, firstInside, window.width);
    for (int r = 0; r < window.height; ++r) {
        const int y = window.originY + r;
        if (y < 0 || y >= picture.imageHeight)
            continue;
        const std::size_t rowStart = static_cast<std::size_t>(r) * window.width;
        uint8_t* maskLine = maskRows.Row(y);
        uint8_t* colourLine = colourRows.Row(y);
        const uint8_t* codes = window.maskBuffer.data() + rowStart;
        const uint8_t* colours = window.colourBuffer.data() + rowStart * bytesPerPixel;
        const int x0 = window.originX;
        std::memcpy(maskLine + x0 + firstInside, codes + firstInside, static_cast<std::size_t>(endInside - firstInside));
        // Runs of pixels that are not excluded take their colour; an excluded
        // pixel keeps the picture's.
        for (int c = firstInside; c < endInside;) {
            if (codes[c] == MaskExcluded) {
                ++c;
                continue;
            }
            int end = c + 1;
            while (end < endInside && codes[end] != MaskExcluded)
                ++end;
            std::memcpy(colourLine + static_cast<std::size_t>(x0 + c) * bytesPerPixel,
                        colours + static_cast<std::size_t>(c) * bytesPerPixel,
                        static_cast<std::size_t>(end - c) * bytesPerPixel);
            c = end;
        }
    }
}

void PromoteFilledCodes(int x0, int x1, int y0, int y1, FIBITMAP* maskImage)
{
    if (!HasPlainLayout(maskImage, 1))
        return;
    const BitmapRows rows = RowsOf(maskImage);
    // Lines outside the mask read as 0 and are never promoted.
    const int firstLine = std::max(y0, 0);
    const int lastLine = std::min(y1, rows.height - 1);
    const int firstColumn = std::max(x0, 0);
    const int lastColumn = std::min(x1, rows.width - 1);
    ParallelFor(firstLine, lastLine + 1, [=](int y) {
        uint8_t* line = rows.Row(y);
        for (int x = firstColumn; x <= lastColumn; ++x)
            if (IsFilledCode(line[x]))
                line[x] = MaskSource;
    }, lastColumn - firstColumn + 1);
}
