// SPDX-License-Identifier: MIT
// The one place that reads picture files and decides which pixel layouts the
// editor and the command-line tool work on.
#pragma once

#include "picture/bitmap.h"
#include "picture/picture_decoding.h"

#include <string>

struct LoadedPicture {
    BitmapPtr bitmap;                       // 8-bit greyscale, 24-bit or 32-bit (RGBA or CMYK); null on failure
    FREE_IMAGE_FORMAT format = FIF_UNKNOWN; // the format the file was read as
    std::string error;                      // why the load failed, for the user; empty on success

    explicit operator bool() const { return bitmap != nullptr; }
};

// Reads a picture, decoded in a helper process under the current decode
// limits: the format from the file name, or from the content when the name
// says nothing; TIFF files keep a CMYK separation. Other layouts are
// converted: 1-, 4- and palettised 8-bit pictures and 16-bit colour pictures
// to 24 bits, 16-bit greyscale to 8 bits, 48-bit to 24 and 64-bit to 32.
// Floating-point and other sample types are refused, and so are JPEG and GIF
// files whose pixel data ends early.
LoadedPicture LoadPicture(const std::string& path);

// The layout conversions of LoadPicture on a bitmap already in memory; null
// with the reason in error when the layout is not supported.
BitmapPtr ToEditableBitmap(BitmapPtr bitmap, std::string& error);
