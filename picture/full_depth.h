// SPDX-License-Identifier: MIT
// Pictures of 16 bits per channel: the engine edits an 8-bit working image
// made from them, and what it changed is put back into them, so that every
// other pixel keeps its full precision.
#pragma once

#include "picture/bitmap.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// 16-bit greyscale, 48-bit RGB and 64-bit RGBA or CMYK pictures.
bool IsFullDepth(FIBITMAP* bitmap);

// Where each 16-bit sample of a pixel lands in the pixel of the working
// image: RGB samples are stored red first, 8-bit colour pixels blue first;
// CMYK inks are stored in the same order at both depths.
struct SampleLayout {
    unsigned samples = 0; // 0 for a picture that is not full depth
    std::array<unsigned, 4> byteOf{};
};

SampleLayout SampleLayoutOf(FIBITMAP* fullDepth);

// The working image of a full-depth picture: the high byte of every sample,
// as 8-bit greyscale, 24-bit RGB or 32-bit RGBA or CMYK, with the picture's
// metadata, ICC profile and resolution. Null when out of memory.
BitmapPtr ReduceToWorkingDepth(FIBITMAP* fullDepth);

// Puts the engine's result into fullDepth. filled holds one byte per pixel,
// rows from the bottom as FreeImage stores them, non-zero where the engine
// filled a hole pixel. working is the reduction of fullDepth made before the
// engine ran, edited in place since; it has fullDepth's size.
void ComposeFullDepth(FIBITMAP* fullDepth, FIBITMAP* working, const std::vector<uint8_t>& filled);

// A filled pixel whose colour a fill copied from the known pixel (fromX,
// fromY); rows from the bottom, as FreeImage counts them.
struct PixelCopy {
    int32_t x = 0;
    int32_t y = 0;
    int32_t fromX = 0;
    int32_t fromY = 0;
};

// The copies a fill reported in its own record of the same four fields.
template <typename Copied>
std::vector<PixelCopy> PixelCopiesOf(const std::vector<Copied>& copied)
{
    std::vector<PixelCopy> copies;
    copies.reserve(copied.size());
    for (const Copied& pixel : copied)
        copies.push_back(PixelCopy{pixel.x, pixel.y, pixel.fromX, pixel.fromY});
    return copies;
}

// As above, but a filled pixel named in copies takes the 16-bit samples of
// its source with the 8-bit result as their high byte: an exact copy where
// the fill kept the source's bytes, and where it blended them afterwards,
// the source's fine detail under the blended value. The working image stays
// the reduction of the result. Entries outside the picture, for pixels not
// filled, or from pixels that were filled themselves, are left to the rule
// above. Out of memory it throws std::bad_alloc before changing anything.
void ComposeFullDepth(FIBITMAP* fullDepth, FIBITMAP* working, const std::vector<uint8_t>& filled,
                      const std::vector<PixelCopy>& copies);

// "48 bits per pixel, 16 per channel", "8 bits per pixel (greyscale)" and the like.
std::string DepthText(FIBITMAP* bitmap);
