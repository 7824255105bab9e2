// SPDX-License-Identifier: MIT
#include "canvas/cmyk_conversion.h"

#include "kernels/pixel_access.h"

#include <algorithm>
#include <cmath>

namespace {

// Ink plus black, as a coverage of 0..255 truncated toward zero.
int Coverage(int ink, int black)
{
    const double v = black + (255 - black) * ink / 255.0;
    return static_cast<int>(std::trunc(std::min(v, 255.0)));
}

} // namespace

void ConvertCmykToRgb(FIBITMAP* cmyk, FIBITMAP* rgb)
{
    const int width = static_cast<int>(FreeImage_GetWidth(cmyk));
    const int height = static_cast<int>(FreeImage_GetHeight(cmyk));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int ink[4] = {0, 0, 0, 0};
            ReadPixel(cmyk, x, y, ink, 4);
            const int black = ink[3];
            const int colour[4] = {255 - Coverage(ink[2], black), 255 - Coverage(ink[1], black),
                                   255 - Coverage(ink[0], black), 0};
            WritePixel(rgb, x, y, colour, 3);
        }
    }
}

BitmapPtr CmykToRgb(FIBITMAP* cmyk)
{
    BitmapPtr rgb(FreeImage_Allocate(static_cast<int>(FreeImage_GetWidth(cmyk)),
                                     static_cast<int>(FreeImage_GetHeight(cmyk)), 24));
    if (!rgb)
        return rgb;
    FreeImage_SetDotsPerMeterX(rgb.get(), FreeImage_GetDotsPerMeterX(cmyk));
    FreeImage_SetDotsPerMeterY(rgb.get(), FreeImage_GetDotsPerMeterY(cmyk));
    ConvertCmykToRgb(cmyk, rgb.get());
    return rgb;
}
