// SPDX-License-Identifier: MIT
// The overlay as the conversion reads it: 24 bits per pixel, rows from the
// top, bytes blue, green, red.
#pragma once

#include <FreeImage.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// Bytes per overlay row: 3W padded as the capture of the overlay pads it.
constexpr std::size_t OverlayRowStride(int width)
{
    return 3 * static_cast<std::size_t>(width) + static_cast<std::size_t>(width % 4);
}

// The overlay buffer of a picture of strokes (8, 24 or 32 bits per pixel;
// an 8-bit pixel counts as grey). Padding bytes are zero.
std::vector<uint8_t> OverlayBufferFromBitmap(FIBITMAP* strokes);
