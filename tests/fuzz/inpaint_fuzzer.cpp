// SPDX-License-Identifier: MIT
// Random small pictures, masks and job values through the whole engine. The
// engine must stay inside its buffers and leave no filled code unpromoted.
#include "engine/inpaint_job.h"
#include "fuzz_input.h"
#include "kernels/pixel_access.h"
#include "picture/bitmap.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Codes the Paint command writes, and a few it never writes.
constexpr uint8_t Codes[] = {0, 127, 255, 127, 255, 200, 50, 221, 243, 244, 254};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const int width = input.Range(1, 40);
    const int height = input.Range(1, 40);
    const int layout = input.Range(0, 3); // 8, 24, 32 bits, or 32-bit CMYK
    const int bpp = layout == 0 ? 8 : layout == 1 ? 24 : 32;

    BitmapPtr picture(FreeImage_Allocate(width, height, bpp));
    BitmapPtr mask(FreeImage_Allocate(width, height, 8));
    if (!picture || !mask)
        return 0;
    // FreeImage reports a 32-bit bitmap as CMYK by this profile flag.
    if (layout == 3)
        FreeImage_GetICCProfile(picture.get())->flags |= FIICC_COLOR_IS_CMYK;

    InpaintJob job;
    job.patchSize = input.Range(-4, 140);
    job.searchGap = input.Range(-6, 80);
    job.smoothSeam = static_cast<uint8_t>(input.Range(0, 1));
    job.scanMinX = input.Range(-8, width + 8);
    job.scanMaxX = input.Range(-8, width + 8);
    job.scanMinY = input.Range(-8, height + 8);
    job.scanMaxY = input.Range(-8, height + 8);
    job.imageWidth = width;
    job.imageHeight = height;
    job.targetImage = picture.get();
    job.sourceImage = picture.get();
    job.maskImage = mask.get();

    const int channelsPerPixel = bpp / 8;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            WriteMaskValue(mask.get(), x, y, Codes[input.Range(0, sizeof Codes - 1)]);
            int channels[4];
            for (int& channel : channels)
                channel = input.Byte();
            WritePixel(picture.get(), x, y, channels, channelsPerPixel);
        }
    }

    InpaintRegion(job);

    if (!FillFront.empty() || !InitialFront.empty())
        std::abort();
    for (int x = std::max(job.scanMinX, 0); x <= std::min(job.scanMaxX, width - 1); ++x)
        for (int y = std::max(job.scanMinY, 0); y <= std::min(job.scanMaxY, height - 1); ++y) {
            const int code = ReadMaskValue(mask.get(), x, y);
            if (code >= 221 && code <= 254)
                std::abort();
        }
    return 0;
}
