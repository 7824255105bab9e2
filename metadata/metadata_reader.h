// SPDX-License-Identifier: MIT
// A picture file's metadata read by exiv2 from the file's bytes, checked,
// and put into FreeImage's models, where the rest of the program finds it.
// Run where the picture is decoded, so that damaged blocks never leave.
#pragma once

#include <FreeImage.h>

#include <cstddef>
#include <cstdint>
#include <optional>

// Replaces what FreeImage read into picture's EXIF models (with the raw
// block), IPTC model, XMP packet and, for PNG and TIFF files, ICC profile
// with what exiv2 reads from the file's size bytes at file, format being
// the file's. What exiv2 finds damaged is left out and named among the
// picture's damaged metadata; blocks kept are laid out anew, so no broken
// offset travels. Other formats keep FreeImage's reading, with their raw
// EXIF block and XMP packet checked the same way.
void ReadFileMetadata(const uint8_t* file, std::size_t size, FREE_IMAGE_FORMAT format, FIBITMAP* picture);

// The first value of tag in the first directory of the TIFF file's size
// bytes at file; nothing when the file or the tag cannot be read.
std::optional<long> TiffFirstDirectoryValue(const uint8_t* file, std::size_t size, uint16_t tag);
