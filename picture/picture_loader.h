// SPDX-License-Identifier: MIT
// The one place that reads picture files and decides which pixel layouts the
// editor and the command-line tool work on.
#pragma once

#include "picture/bitmap.h"
#include "picture/decode_limits.h"
#include "picture/picture_decoding.h"

#include <cstdint>
#include <string>

struct LoadedPicture {
    BitmapPtr bitmap;                       // 8-bit greyscale, 24-bit or 32-bit (RGBA or CMYK); null on failure
    BitmapPtr fullDepth;                    // the picture as read when it has 16 bits per channel, else null
    FREE_IMAGE_FORMAT format = FIF_UNKNOWN; // the format the file was read as
    std::string error;                      // why the load failed, for the user; empty on success

    explicit operator bool() const { return bitmap != nullptr; }
};

// Reads a picture, decoded in a helper process under the current decode
// limits: the format from the file name, or from the content when the name
// says nothing; TIFF files keep a CMYK separation. Other layouts are
// converted: 1-, 4- and palettised 8-bit pictures and 16-bit colour pictures
// to 24 bits. Pictures of 16 bits per channel are kept in fullDepth, and
// bitmap holds their high bytes: 8-bit grey, 24- or 32-bit. Both carry the
// file's metadata and ICC profile. Floating-point and other sample types are
// refused, and so are JPEG and GIF files whose pixel data ends early.
LoadedPicture LoadPicture(const std::string& path);
// The same under the given limits.
LoadedPicture LoadPicture(const std::string& path, const DecodeLimits& limits);

// The bytes of pixels a loaded picture holds in memory.
std::uint64_t HeldBytes(const LoadedPicture& picture);

// The layout conversions of LoadPicture on a bitmap already in memory, down
// to 8 bits per channel; null with the reason in error when the layout is
// not supported.
BitmapPtr ToEditableBitmap(BitmapPtr bitmap, std::string& error);
