// SPDX-License-Identifier: MIT
#include "canvas/canvas_cmyk.h"

#include "kernels/pixel_access.h"

#include <algorithm>

namespace {

int InkWithBlack(int ink, int black)
{
    const double v = black + (255 - black) * ink / 255.0;
    return static_cast<int>(std::min(v, 255.0));
}

} // namespace

void CanvasCmykToRgb(FIBITMAP* cmyk, FIBITMAP* rgb)
{
    const int width = static_cast<int>(FreeImage_GetWidth(cmyk));
    const int height = static_cast<int>(FreeImage_GetHeight(cmyk));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int ink[4] = {0, 0, 0, 0};
            ReadPixel(cmyk, x, y, ink, 4);
            const int colour[4] = {255 - InkWithBlack(ink[2], ink[3]), 255 - InkWithBlack(ink[1], ink[3]),
                                   255 - InkWithBlack(ink[0], ink[3]), 0};
            WritePixel(rgb, x, y, colour, 3);
        }
    }
}
