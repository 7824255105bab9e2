// SPDX-License-Identifier: MIT
#include "mask/mask_picture.h"

#include "kernels/bitmap_rows.h"
#include "kernels/pixel_access.h"
#include "mask/editor_job.h"

#include <algorithm>

namespace {

// The colour bytes of a pixel; an alpha byte says nothing about the hole.
int ColourBytesOf(FIBITMAP* picture)
{
    const int bytesPerPixel = BytesPerPixelOf(picture);
    return bytesPerPixel == 4 && FreeImage_GetColorType(picture) != FIC_CMYK ? 3 : bytesPerPixel;
}

} // namespace

InpaintJob MaskPictureToJob(FIBITMAP* holes, FIBITMAP* mask, int patchSize, bool smoothSeam, FIBITMAP* targetImage)
{
    const int width = static_cast<int>(FreeImage_GetWidth(holes));
    const int height = static_cast<int>(FreeImage_GetHeight(holes));
    const int bytesPerPixel = BytesPerPixelOf(holes);
    const int colourBytes = ColourBytesOf(holes);

    InpaintJob job;
    job.scanMinX = width;
    job.scanMaxX = 0;
    job.scanMinY = height - 1;
    job.scanMaxY = -1;
    SetEditorJobFields(job, patchSize, smoothSeam, width, height, targetImage, mask);
    // Pictures from the loader and a freshly allocated mask always have
    // plain lines; anything else leaves the scan rectangle empty.
    if (bytesPerPixel == 0 || !HasPlainLayout(holes, bytesPerPixel) || !HasPlainLayout(mask, 1))
        return job;
    const BitmapRows holeLines = RowsOf(holes);
    const BitmapRows maskLines = RowsOf(mask);
    bool anyHole = false;
    for (int y = 0; y < height; ++y) {
        const uint8_t* pixel = holeLines.Row(y);
        uint8_t* codes = maskLines.Row(y);
        for (int x = 0; x < width; ++x, pixel += bytesPerPixel) {
            const bool hole = std::any_of(pixel, pixel + colourBytes, [](uint8_t value) { return value != 0; });
            codes[x] = hole ? MaskHole : MaskSource;
            if (!hole)
                continue;
            if (!anyHole) {
                job.scanMinY = job.scanMaxY = y;
                anyHole = true;
            }
            job.scanMinX = std::min(job.scanMinX, x);
            job.scanMaxX = std::max(job.scanMaxX, x);
            job.scanMaxY = y;
        }
    }
    return job;
}
