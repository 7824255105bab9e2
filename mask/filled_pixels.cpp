// SPDX-License-Identifier: MIT
#include "mask/filled_pixels.h"

#include "engine/inpaint_job.h"
#include "mask/brush_colours.h"

#include <algorithm>

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

long long CountUnfilledMarks(const OverlayRows& overlay, FIBITMAP* mask)
{
    const int height = static_cast<int>(FreeImage_GetHeight(mask));
    long long count = 0;
    if (overlay.top == nullptr)
        return count;
    for (int y = std::max(0, overlay.markedTop); y <= std::min(height - 1, overlay.markedBottom); ++y) {
        const uint8_t* marks = overlay.top + y * overlay.stride;
        // The mask's rows run bottom-up.
        const BYTE* codes = FreeImage_GetScanLine(mask, height - 1 - y);
        const int right = std::min(static_cast<int>(FreeImage_GetWidth(mask)) - 1, overlay.markedRight);
        for (int x = std::max(0, overlay.markedLeft); x <= right; ++x) {
            const uint8_t* pixel = marks + static_cast<std::ptrdiff_t>(x) * overlay.pixelBytes;
            const uint32_t colour = (static_cast<uint32_t>(pixel[0]) << 16) |
                                    (static_cast<uint32_t>(pixel[1]) << 8) | static_cast<uint32_t>(pixel[2]);
            // A guide pixel was marked when the conversion made it a hole pixel.
            count += (colour == HoleColour && (codes[x] == MaskHole || codes[x] == MaskExcluded)) ||
                     (colour == GuideColour && codes[x] == MaskHole);
        }
    }
    return count;
}
