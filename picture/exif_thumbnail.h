// SPDX-License-Identifier: MIT
// The thumbnail a camera puts in its EXIF block shows the picture before
// any edit: an object removed from the picture would live on in it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A copy of the TIFF-structured EXIF block without its thumbnail: the
// thumbnail's bytes are zeroed and the first directory no longer points to
// the second. The block comes back unchanged when it has no thumbnail or
// its structure cannot be read.
std::vector<uint8_t> WithoutThumbnail(const uint8_t* block, std::size_t size);
