// SPDX-License-Identifier: MIT
#include "kernels/write_back.h"

#include "kernels/parallel_for.h"
#include "kernels/pixel_access.h"

void WriteBackWindow(const WorkWindow& window, FIBITMAP* targetImage, FIBITMAP* maskImage, int bytesPerPixel,
                     int imageWidth, int imageHeight)
{
    for (int r = 0; r < window.height; ++r) {
        for (int c = 0; c < window.width; ++c) {
            const int x = window.originX + c;
            const int y = window.originY + r;
            if (x < 0 || x >= imageWidth || y < 0 || y >= imageHeight)
                continue;
            const std::size_t index = static_cast<std::size_t>(r) * window.width + c;
            const int code = window.maskBuffer[index];
            WriteMaskValue(maskImage, x, y, code);
            if (code == 0)
                continue;
            int channels[4] = {0, 0, 0, 0};
            for (int k = 0; k < bytesPerPixel; ++k)
                channels[k] = window.colourBuffer[index * bytesPerPixel + k];
            WritePixel(targetImage, x, y, channels, bytesPerPixel);
        }
    }
}

void PromoteFilledCodes(int x0, int x1, int y0, int y1, FIBITMAP* maskImage)
{
    ParallelFor(x0, x1 + 1, [=](int x) {
        for (int y = y0; y <= y1; ++y) {
            const int code = ReadMaskValue(maskImage, x, y);
            if (code >= 221 && code <= 254)
                WriteMaskValue(maskImage, x, y, MaskSource);
        }
    });
}
