// SPDX-License-Identifier: MIT
// A PNG file's eXIf chunk, where the format keeps its EXIF block.
#pragma once

#include <cstdint>
#include <vector>

// Puts an eXIf chunk holding block (TIFF-structured, without the "Exif"
// prefix) after the PNG file's header chunk, replacing any it had; false
// when file is no PNG stream.
bool PutPngExifChunk(std::vector<uint8_t>& file, const std::vector<uint8_t>& block);
