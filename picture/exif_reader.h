// SPDX-License-Identifier: MIT
// The EXIF tags a TIFF-structured block or file holds, read back into
// FreeImage's metadata models: what a written file really holds, where
// FreeImage's own readers do not say.
#pragma once

#include "picture/bitmap.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Reads size bytes at offset into into; false when they are not all there.
using ReadAt = std::function<bool(uint32_t offset, uint8_t* into, uint32_t size)>;

ReadAt ReadFromMemory(std::vector<uint8_t> bytes);
ReadAt ReadFromFile(const std::string& path);

// A one-pixel picture whose FIMD_EXIF_MAIN, FIMD_EXIF_EXIF,
// FIMD_EXIF_GPS and FIMD_EXIF_INTEROP models hold the tags of the first
// directory and of the directories it points to, with their values in this
// machine's byte order and the tag number as key; null when the header or
// the first directory cannot be read.
BitmapPtr ReadExifModels(const ReadAt& read);
