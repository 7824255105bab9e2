// SPDX-License-Identifier: MIT
// PNG chunks FreeImage does not handle: the ICC profile its reader drops
// although its writer stores it, and the EXIF block it neither reads nor writes.
#pragma once

#include <FreeImage.h>

#include <cstdio>
#include <string>
#include <vector>

// True when the PNG file at path has a chunk of type ("iCCP", "eXIf")
// before its pixel data.
bool PngHasChunk(const std::string& path, const char* type);

// The raw EXIF block a JPEG file gave bitmap, without its "Exif" prefix;
// null with size 0 when there is none.
const BYTE* RawExif(FIBITMAP* bitmap, DWORD& size);

// The EXIF block files get for bitmap (an eXIf chunk's data, a JPEG's
// block after its prefix): the raw EXIF block a JPEG file gave it, without
// its thumbnail, or else one built from its EXIF tags; empty when it has none.
std::vector<BYTE> ExifChunkData(FIBITMAP* bitmap);

// The data of the PNG file's eXIf chunk; empty when it has none.
std::vector<BYTE> PngExifChunk(const std::string& path);

// Encodes bitmap as PNG with flags and writes it to file with an eXIf chunk
// holding exif; false when encoding or writing fails.
bool WritePngWithExif(FIBITMAP* bitmap, int flags, const std::vector<BYTE>& exif, std::FILE* file);

// Gives bitmap the profile of the PNG file at path when it has none yet and
// the file holds a readable one.
void AddPngProfile(const std::string& path, FIBITMAP* bitmap);
