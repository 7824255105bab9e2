// SPDX-License-Identifier: MIT
#include "kernels/pixel_access.h"

// FreeImage takes unsigned coordinates and rejects those past the bitmap, so a
// negative coordinate, converted to a huge unsigned one, is rejected as well.

int ReadMaskValue(FIBITMAP* bitmap, int x, int y, bool* ok)
{
    int value = 0;
    BYTE index = 0;
    const bool read = FreeImage_GetPixelIndex(bitmap, static_cast<unsigned>(x), static_cast<unsigned>(y), &index);
    if (read)
        value = index;
    if (ok)
        *ok = read;
    return value;
}

void WriteMaskValue(FIBITMAP* bitmap, int x, int y, int value)
{
    BYTE index = static_cast<BYTE>(value & 0xFF);
    FreeImage_SetPixelIndex(bitmap, static_cast<unsigned>(x), static_cast<unsigned>(y), &index);
}

void ReadPixel(FIBITMAP* bitmap, int x, int y, int channels[4], int bytesPerPixel)
{
    const auto ux = static_cast<unsigned>(x);
    const auto uy = static_cast<unsigned>(y);
    if (bytesPerPixel == 1) {
        BYTE index = 0;
        if (FreeImage_GetPixelIndex(bitmap, ux, uy, &index))
            channels[0] = index;
    } else if (bytesPerPixel == 3 || bytesPerPixel == 4) {
        RGBQUAD quad{};
        if (FreeImage_GetPixelColor(bitmap, ux, uy, &quad)) {
            channels[0] = quad.rgbBlue;
            channels[1] = quad.rgbGreen;
            channels[2] = quad.rgbRed;
            if (bytesPerPixel == 4)
                channels[3] = quad.rgbReserved;
        }
    }
}

void WritePixel(FIBITMAP* bitmap, int x, int y, const int channels[4], int bytesPerPixel)
{
    const auto ux = static_cast<unsigned>(x);
    const auto uy = static_cast<unsigned>(y);
    if (bytesPerPixel == 1) {
        BYTE index = static_cast<BYTE>(channels[0] & 0xFF);
        FreeImage_SetPixelIndex(bitmap, ux, uy, &index);
    } else if (bytesPerPixel == 3 || bytesPerPixel == 4) {
        RGBQUAD quad;
        quad.rgbBlue = static_cast<BYTE>(channels[0] & 0xFF);
        quad.rgbGreen = static_cast<BYTE>(channels[1] & 0xFF);
        quad.rgbRed = static_cast<BYTE>(channels[2] & 0xFF);
        quad.rgbReserved = bytesPerPixel == 4 ? static_cast<BYTE>(channels[3] & 0xFF) : 0;
        FreeImage_SetPixelColor(bitmap, ux, uy, &quad);
    }
}

int BytesPerPixelOf(FIBITMAP* bitmap)
{
    switch (FreeImage_GetBPP(bitmap)) {
    case 32: return 4;
    case 24: return 3;
    case 8: return 1;
    default: return 0;
    }
}
