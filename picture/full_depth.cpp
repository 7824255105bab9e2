// SPDX-License-Identifier: MIT
#include "picture/full_depth.h"

#include "picture/picture_info.h"

#include <array>

namespace {

// Where each 16-bit sample of a pixel lands in the pixel of the working
// image: RGB samples are stored red first, 8-bit colour pixels blue first;
// CMYK inks are stored in the same order at both depths.
struct SampleLayout {
    unsigned samples = 0;
    std::array<unsigned, 4> byteOf{};
};

SampleLayout LayoutOf(FIBITMAP* fullDepth)
{
    switch (FreeImage_GetImageType(fullDepth)) {
    case FIT_UINT16: return {1, {0}};
    case FIT_RGB16: return {3, {FI_RGBA_RED, FI_RGBA_GREEN, FI_RGBA_BLUE}};
    case FIT_RGBA16:
        if (FreeImage_GetColorType(fullDepth) == FIC_CMYK)
            return {4, {0, 1, 2, 3}};
        return {4, {FI_RGBA_RED, FI_RGBA_GREEN, FI_RGBA_BLUE, FI_RGBA_ALPHA}};
    default: return {};
    }
}

} // namespace

bool IsFullDepth(FIBITMAP* bitmap)
{
    return bitmap != nullptr && LayoutOf(bitmap).samples != 0;
}

BitmapPtr ReduceToWorkingDepth(FIBITMAP* fullDepth)
{
    const SampleLayout layout = LayoutOf(fullDepth);
    const unsigned width = FreeImage_GetWidth(fullDepth);
    const unsigned height = FreeImage_GetHeight(fullDepth);
    BitmapPtr working(FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height),
                                         static_cast<int>(8 * layout.samples)));
    if (!working || layout.samples == 0)
        return nullptr;
    for (unsigned y = 0; y < height; ++y) {
        const auto* samples = reinterpret_cast<const uint16_t*>(FreeImage_GetScanLine(fullDepth, static_cast<int>(y)));
        BYTE* bytes = FreeImage_GetScanLine(working.get(), static_cast<int>(y));
        for (unsigned x = 0; x < width; ++x, samples += layout.samples, bytes += layout.samples)
            for (unsigned s = 0; s < layout.samples; ++s)
                bytes[layout.byteOf[s]] = static_cast<BYTE>(samples[s] >> 8);
    }
    CopyPictureInfo(working.get(), fullDepth);
    return working;
}

void ComposeFullDepth(FIBITMAP* fullDepth, FIBITMAP* working, const std::vector<uint8_t>& filled)
{
    const SampleLayout layout = LayoutOf(fullDepth);
    const unsigned width = FreeImage_GetWidth(fullDepth);
    const unsigned height = FreeImage_GetHeight(fullDepth);
    for (unsigned y = 0; y < height; ++y) {
        auto* samples = reinterpret_cast<uint16_t*>(FreeImage_GetScanLine(fullDepth, static_cast<int>(y)));
        const BYTE* bytes = FreeImage_GetScanLine(working, static_cast<int>(y));
        const uint8_t* filledRow = filled.data() + static_cast<std::size_t>(y) * width;
        for (unsigned x = 0; x < width; ++x, samples += layout.samples, bytes += layout.samples) {
            // Changed: a filled hole pixel, or any pixel whose bytes the engine
            // altered (seam blending); a blended pixel that kept its bytes keeps
            // its 16 bits, whose high bytes already equal the engine's result.
            bool changed = filledRow[x] != 0;
            for (unsigned s = 0; s < layout.samples && !changed; ++s)
                changed = bytes[layout.byteOf[s]] != samples[s] >> 8;
            if (!changed)
                continue;
            for (unsigned s = 0; s < layout.samples; ++s)
                samples[s] = static_cast<uint16_t>(bytes[layout.byteOf[s]] * 257);
        }
    }
}

std::string DepthText(FIBITMAP* bitmap)
{
    const std::string bits = std::to_string(FreeImage_GetBPP(bitmap)) + " bits per pixel";
    if (IsFullDepth(bitmap))
        return bits + ", 16 per channel";
    if (FreeImage_GetBPP(bitmap) == 8)
        return bits + " (greyscale)";
    return bits + ", 8 per channel";
}
