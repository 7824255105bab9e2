// SPDX-License-Identifier: MIT
// EXIF for JPEG files: FreeImage's JPEG writer stores only a raw EXIF
// block, which only pictures read from JPEG files have.
#pragma once

#include <FreeImage.h>

// While it lives, a picture without a raw EXIF block has one built from its
// EXIF tags, when they fit in a JPEG segment; it goes again afterwards, so
// the picture is left as it was. A null bitmap gets nothing.
class JpegExifBlock {
public:
    explicit JpegExifBlock(FIBITMAP* bitmap);
    ~JpegExifBlock();
    JpegExifBlock(const JpegExifBlock&) = delete;
    JpegExifBlock& operator=(const JpegExifBlock&) = delete;

private:
    FIBITMAP* m_pBitmap = nullptr; // set while a block of ours is attached
};
