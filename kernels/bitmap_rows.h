// SPDX-License-Identifier: MIT
// Direct access to the scan lines of the bitmaps a job works on. For a plain
// bitmap of 8, 24 or 32 bits per pixel the bytes of a line are exactly what
// the per-pixel accessors read and write, in the same channel order, so the
// whole-picture loops use the lines instead of one call per pixel.
#pragma once

#include <FreeImage.h>

#include <cstddef>
#include <cstdint>

// The channel order of a pixel's bytes is the accessors' RGBQUAD order.
static_assert(FI_RGBA_BLUE == 0 && FI_RGBA_GREEN == 1 && FI_RGBA_RED == 2 && FI_RGBA_ALPHA == 3);

struct BitmapRows {
    uint8_t* bits = nullptr;
    std::size_t pitch = 0;
    int width = 0;
    int height = 0;

    uint8_t* Row(int y) const { return bits + static_cast<std::size_t>(y) * pitch; }
};

// True for a standard bitmap with pixels of bytesPerPixel bytes (1, 3 or 4).
inline bool HasPlainLayout(FIBITMAP* bitmap, int bytesPerPixel)
{
    return bitmap != nullptr && FreeImage_HasPixels(bitmap) && FreeImage_GetImageType(bitmap) == FIT_BITMAP &&
           FreeImage_GetBPP(bitmap) == static_cast<unsigned>(8 * bytesPerPixel);
}

// The rows of a bitmap with a plain layout (line 0 is the bottom line, as the
// accessors count it).
inline BitmapRows RowsOf(FIBITMAP* bitmap)
{
    BitmapRows rows;
    rows.bits = FreeImage_GetBits(bitmap);
    rows.pitch = FreeImage_GetPitch(bitmap);
    rows.width = static_cast<int>(FreeImage_GetWidth(bitmap));
    rows.height = static_cast<int>(FreeImage_GetHeight(bitmap));
    return rows;
}
