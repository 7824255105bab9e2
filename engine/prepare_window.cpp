// SPDX-License-Identifier: MIT
#include "engine/prepare_window.h"

#include "kernels/bitmap_rows.h"
#include "kernels/parallel_for.h"

#include <algorithm>
#include <cstring>

void PrepareWindow(WorkWindow& window, const PictureView& picture)
{
    const int bytesPerPixel = picture.bytesPerPixel;
    const int width = window.width;
    uint8_t* const maskBuffer = window.maskBuffer.data();
    uint8_t* const colourBuffer = window.colourBuffer.data();
    const int originX = window.originX;
    const int originY = window.originY;
    const BitmapRows maskRows = RowsOf(picture.maskImage);
    const BitmapRows colourRows = RowsOf(picture.targetImage);
    // The columns of the window that lie inside the image.
    const int firstInside = std::clamp(-originX, 0, width);
    const int endInside = std::clamp(picture.imageWidth - originX, firstInside, width);

    ParallelFor(0, window.height, [=](int r) {
        const std::size_t rowStart = static_cast<std::size_t>(r) * width;
        uint8_t* codes = maskBuffer + rowStart;
        uint8_t* colours = colourBuffer + rowStart * bytesPerPixel;
        std::memset(codes, MaskExcluded, static_cast<std::size_t>(width));
        std::memset(colours, 0, static_cast<std::size_t>(width) * bytesPerPixel);
        const int y = originY + r;
        if (y < 0 || y >= picture.imageHeight)
            return;
        const int inside = endInside - firstInside;
        std::memcpy(codes + firstInside, maskRows.Row(y) + (originX + firstInside), static_cast<std::size_t>(inside));
        std::memcpy(colours + static_cast<std::size_t>(firstInside) * bytesPerPixel,
                    colourRows.Row(y) + static_cast<std::ptrdiff_t>(originX + firstInside) * bytesPerPixel,
                    static_cast<std::size_t>(inside) * bytesPerPixel);
        // An excluded pixel carries no colour.
        for (int c = firstInside; c < endInside; ++c)
            if (codes[c] == MaskExcluded)
                std::memset(colours + static_cast<std::size_t>(c) * bytesPerPixel, 0,
                            static_cast<std::size_t>(bytesPerPixel));
    }, width);
}
