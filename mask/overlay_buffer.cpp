// SPDX-License-Identifier: MIT
#include "mask/overlay_buffer.h"

#include "kernels/bitmap_rows.h"
#include "kernels/pixel_access.h"

#include <cstring>

std::vector<uint8_t> OverlayBufferFromBitmap(FIBITMAP* strokes)
{
    const int width = static_cast<int>(FreeImage_GetWidth(strokes));
    const int height = static_cast<int>(FreeImage_GetHeight(strokes));
    const int bytesPerPixel = BytesPerPixelOf(strokes);
    const std::size_t stride = OverlayRowStride(width);
    std::vector<uint8_t> buffer(stride * static_cast<std::size_t>(height), 0);
    if (bytesPerPixel == 0 || !HasPlainLayout(strokes, bytesPerPixel))
        return buffer;
    const BitmapRows lines = RowsOf(strokes);
    for (int y = 0; y < height; ++y) {
        // Overlay rows run from the top, FreeImage lines from the bottom.
        const uint8_t* line = lines.Row(height - 1 - y);
        uint8_t* row = buffer.data() + static_cast<std::size_t>(y) * stride;
        if (bytesPerPixel == 3) {
            std::memcpy(row, line, 3 * static_cast<std::size_t>(width));
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const uint8_t* pixel = line + static_cast<std::size_t>(x) * bytesPerPixel;
            // A grey stroke picture gives the same byte in all three channels.
            for (int k = 0; k < 3; ++k)
                row[3 * x + k] = pixel[bytesPerPixel == 1 ? 0 : k];
        }
    }
    return buffer;
}
