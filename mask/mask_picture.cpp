// SPDX-License-Identifier: MIT
#include "mask/mask_picture.h"

#include "kernels/bitmap_rows.h"
#include "kernels/parallel_for.h"
#include "kernels/pixel_access.h"
#include "mask/editor_job.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

namespace {

// The colour bytes of a pixel; an alpha byte says nothing about the hole.
int ColourBytesOf(FIBITMAP* picture)
{
    const int bytesPerPixel = BytesPerPixelOf(picture);
    return bytesPerPixel == 4 && FreeImage_GetColorType(picture) != FIC_CMYK ? 3 : bytesPerPixel;
}

// One line of codes: a fixed pixel layout lets the compiler vectorise it.
template <int BytesPerPixel, int ColourBytes>
void CodeLine(const uint8_t* pixel, uint8_t* codes, int width)
{
    for (int x = 0; x < width; ++x, pixel += BytesPerPixel) {
        uint8_t any = 0;
        for (int k = 0; k < ColourBytes; ++k)
            any |= pixel[k];
        codes[x] = any != 0 ? MaskHole : MaskSource;
    }
}

using LineCoder = void (*)(const uint8_t*, uint8_t*, int);

LineCoder CoderFor(int bytesPerPixel, int colourBytes)
{
    switch (bytesPerPixel) {
    case 1: return CodeLine<1, 1>;
    case 3: return CodeLine<3, 3>;
    default: return colourBytes == 4 ? CodeLine<4, 4> : CodeLine<4, 3>;
    }
}

// First and last hole column of a line; first > last when it has none.
struct LineHoles {
    int first = 1;
    int last = 0;
};

LineHoles FindHoles(const uint8_t* codes, int width)
{
    const auto* first = static_cast<const uint8_t*>(std::memchr(codes, MaskHole, static_cast<std::size_t>(width)));
    if (first == nullptr)
        return {};
    const auto last = std::find(std::make_reverse_iterator(codes + width), std::make_reverse_iterator(first),
                                static_cast<uint8_t>(MaskHole));
    return {static_cast<int>(first - codes), static_cast<int>(std::prev(last.base()) - codes)};
}

} // namespace

InpaintJob MaskPictureToJob(FIBITMAP* holes, FIBITMAP* mask, int patchSize, bool smoothSeam, FIBITMAP* targetImage)
{
    const int width = static_cast<int>(FreeImage_GetWidth(holes));
    const int height = static_cast<int>(FreeImage_GetHeight(holes));
    const int bytesPerPixel = BytesPerPixelOf(holes);

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
    const LineCoder code = CoderFor(bytesPerPixel, ColourBytesOf(holes));
    // Lines are independent; the bounding box is gathered from them after.
    std::vector<LineHoles> lines(static_cast<std::size_t>(height));
    ParallelFor(0, height, [&](int y) {
        uint8_t* codes = maskLines.Row(y);
        code(holeLines.Row(y), codes, width);
        lines[static_cast<std::size_t>(y)] = FindHoles(codes, width);
    }, width);
    for (int y = 0; y < height; ++y) {
        const LineHoles& line = lines[static_cast<std::size_t>(y)];
        if (line.first > line.last)
            continue;
        if (job.scanMaxY < 0)
            job.scanMinY = y;
        job.scanMaxY = y;
        job.scanMinX = std::min(job.scanMinX, line.first);
        job.scanMaxX = std::max(job.scanMaxX, line.last);
    }
    return job;
}
