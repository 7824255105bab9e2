// SPDX-License-Identifier: MIT
// The loops over the bitmaps as first written: one accessor call per pixel.
#include "reference/literal_engine.h"

#include "kernels/parallel_for.h"
#include "kernels/pixel_access.h"

namespace reference {

void PrepareWindow(WorkWindow& window, int imageWidth, int imageHeight, FIBITMAP* maskImage,
                   FIBITMAP* targetImage, int bytesPerPixel)
{
    const int width = window.width;
    uint8_t* const maskBuffer = window.maskBuffer.data();
    uint8_t* const colourBuffer = window.colourBuffer.data();
    const int originX = window.originX;
    const int originY = window.originY;

    ParallelFor(0, window.height, [=](int r) {
        for (int c = 0; c < width; ++c) {
            const int x = originX + c;
            const int y = originY + r;
            int code = 0;
            int channels[4] = {0, 0, 0, 0};
            if (x >= 0 && x < imageWidth && y >= 0 && y < imageHeight) {
                code = ReadMaskValue(maskImage, x, y);
                ReadPixel(targetImage, x, y, channels, bytesPerPixel);
            }
            const std::size_t index = static_cast<std::size_t>(r) * width + c;
            maskBuffer[index] = static_cast<uint8_t>(code & 0xFF);
            if (code == 0)
                channels[0] = channels[1] = channels[2] = channels[3] = 0;
            for (int k = 0; k < bytesPerPixel; ++k)
                colourBuffer[index * bytesPerPixel + k] = static_cast<uint8_t>(channels[k]);
        }
    });
}

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
            if (IsFilledCode(code))
                WriteMaskValue(maskImage, x, y, MaskSource);
        }
    });
}

} // namespace reference
