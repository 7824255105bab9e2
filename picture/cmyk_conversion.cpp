// SPDX-License-Identifier: MIT
#include "picture/cmyk_conversion.h"

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
    const unsigned width = FreeImage_GetWidth(cmyk);
    const unsigned height = FreeImage_GetHeight(cmyk);
    for (unsigned y = 0; y < height; ++y) {
        // Inks in memory order: cyan, magenta, yellow, black; colours blue, green, red.
        const BYTE* ink = FreeImage_GetScanLine(cmyk, static_cast<int>(y));
        BYTE* colour = FreeImage_GetScanLine(rgb, static_cast<int>(y));
        for (unsigned x = 0; x < width; ++x, ink += 4, colour += 3) {
            const int black = ink[3];
            colour[0] = static_cast<BYTE>(255 - Coverage(ink[2], black));
            colour[1] = static_cast<BYTE>(255 - Coverage(ink[1], black));
            colour[2] = static_cast<BYTE>(255 - Coverage(ink[0], black));
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
