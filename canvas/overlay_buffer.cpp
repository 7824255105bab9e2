// SPDX-License-Identifier: MIT
#include "canvas/overlay_buffer.h"

#include "kernels/pixel_access.h"

std::vector<uint8_t> OverlayBufferFromBitmap(FIBITMAP* strokes)
{
    const int width = static_cast<int>(FreeImage_GetWidth(strokes));
    const int height = static_cast<int>(FreeImage_GetHeight(strokes));
    const int bytesPerPixel = BytesPerPixelOf(strokes);
    const std::size_t stride = OverlayRowStride(width);
    std::vector<uint8_t> buffer(stride * static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        // Overlay rows run from the top, FreeImage lines from the bottom.
        const int line = height - 1 - y;
        uint8_t* row = buffer.data() + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            int channels[4] = {0, 0, 0, 0};
            ReadPixel(strokes, x, line, channels, bytesPerPixel);
            if (bytesPerPixel == 1)
                channels[1] = channels[2] = channels[0];
            for (int k = 0; k < 3; ++k)
                row[3 * x + k] = static_cast<uint8_t>(channels[k]);
        }
    }
    return buffer;
}
