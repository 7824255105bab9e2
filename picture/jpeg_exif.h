// SPDX-License-Identifier: MIT
// EXIF for JPEG files: FreeImage's JPEG writer stores only a raw EXIF
// block, which only pictures read from JPEG files have.
#pragma once

#include <FreeImage.h>

#include <vector>

// While it lives, the picture's raw EXIF block is the one files get
// (ExifChunkData: without a thumbnail, or built from the EXIF tags), when it
// fits in a JPEG segment; afterwards the picture has its own block again, or
// none. A null bitmap gets nothing.
class JpegExifBlock {
public:
    explicit JpegExifBlock(FIBITMAP* bitmap);
    ~JpegExifBlock();
    JpegExifBlock(const JpegExifBlock&) = delete;
    JpegExifBlock& operator=(const JpegExifBlock&) = delete;

private:
    FIBITMAP* m_pBitmap = nullptr; // set while a block of ours is attached
    std::vector<BYTE> m_original;  // the picture's own raw block, empty when it had none
};
