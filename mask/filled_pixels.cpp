// SPDX-License-Identifier: MIT
#include "mask/filled_pixels.h"

#include "engine/inpaint_job.h"

std::vector<uint8_t> HolePixels(FIBITMAP* mask)
{
    std::vector<uint8_t> holes;
    const unsigned width = FreeImage_GetWidth(mask);
    const unsigned height = FreeImage_GetHeight(mask);
    holes.reserve(static_cast<std::size_t>(width) * height);
    for (unsigned y = 0; y < height; ++y) {
        const BYTE* codes = FreeImage_GetScanLine(mask, static_cast<int>(y));
        for (unsigned x = 0; x < width; ++x)
            holes.push_back(codes[x] == MaskHole ? 1 : 0);
    }
    return holes;
}

void KeepFilledPixels(std::vector<uint8_t>& holes, FIBITMAP* mask)
{
    const unsigned width = FreeImage_GetWidth(mask);
    const unsigned height = FreeImage_GetHeight(mask);
    for (unsigned y = 0; y < height; ++y) {
        const BYTE* codes = FreeImage_GetScanLine(mask, static_cast<int>(y));
        uint8_t* row = holes.data() + static_cast<std::size_t>(y) * width;
        for (unsigned x = 0; x < width; ++x)
            if (codes[x] == MaskHole)
                row[x] = 0;
    }
}
