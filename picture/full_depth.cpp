// SPDX-License-Identifier: MIT
#include "picture/full_depth.h"

#include "picture/picture_info.h"

#include <algorithm>
#include <array>

SampleLayout SampleLayoutOf(FIBITMAP* fullDepth)
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

bool IsFullDepth(FIBITMAP* bitmap)
{
    return bitmap != nullptr && SampleLayoutOf(bitmap).samples != 0;
}

BitmapPtr ReduceToWorkingDepth(FIBITMAP* fullDepth)
{
    const SampleLayout layout = SampleLayoutOf(fullDepth);
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
    const SampleLayout layout = SampleLayoutOf(fullDepth);
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

void ComposeFullDepth(FIBITMAP* fullDepth, FIBITMAP* working, const std::vector<uint8_t>& filled,
                      const std::vector<PixelCopy>& copies)
{
    const SampleLayout layout = SampleLayoutOf(fullDepth);
    const int width = static_cast<int>(FreeImage_GetWidth(fullDepth));
    const int height = static_cast<int>(FreeImage_GetHeight(fullDepth));
    const auto filledAt = [&](int32_t x, int32_t y) {
        return filled[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] != 0;
    };
    const auto inside = [&](int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < width && y < height; };
    const auto samplesAt = [&](int32_t x, int32_t y) {
        return reinterpret_cast<uint16_t*>(FreeImage_GetScanLine(fullDepth, y)) + static_cast<std::size_t>(x) * layout.samples;
    };
    struct CopiedSamples {
        uint16_t* target;
        std::array<uint16_t, 4> samples;
    };
    // Every source is read before any pixel is written: the pass below may
    // rewrite a source the fill blended.
    std::vector<CopiedSamples> copied;
    copied.reserve(layout.samples != 0 ? copies.size() : 0);
    for (const PixelCopy& copy : copies) {
        if (layout.samples == 0 || !inside(copy.x, copy.y) || !inside(copy.fromX, copy.fromY) ||
            !filledAt(copy.x, copy.y) || filledAt(copy.fromX, copy.fromY))
            continue;
        const uint16_t* source = samplesAt(copy.fromX, copy.fromY);
        const BYTE* bytes = FreeImage_GetScanLine(working, copy.y) + static_cast<std::size_t>(copy.x) * layout.samples;
        CopiedSamples result{samplesAt(copy.x, copy.y), {}};
        // The 8-bit result as high byte keeps the working image the
        // reduction of the picture, which the next Paint relies on to see
        // what it changed.
        for (unsigned s = 0; s < layout.samples; ++s)
            result.samples[s] = static_cast<uint16_t>(bytes[layout.byteOf[s]] << 8 | (source[s] & 0xFF));
        copied.push_back(result);
    }
    ComposeFullDepth(fullDepth, working, filled);
    for (const CopiedSamples& result : copied)
        std::copy_n(result.samples.begin(), layout.samples, result.target);
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
