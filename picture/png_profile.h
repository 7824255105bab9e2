// SPDX-License-Identifier: MIT
// The ICC profile of PNG files, read from their iCCP chunk: FreeImage's PNG
// reader drops the profiles its own writer stores.
#pragma once

#include <FreeImage.h>

#include <string>

// True when the PNG file at path has an iCCP chunk before its pixel data.
bool PngHasProfileChunk(const std::string& path);

// Gives bitmap the profile of the PNG file at path when it has none yet and
// the file holds a readable one.
void AddPngProfile(const std::string& path, FIBITMAP* bitmap);
