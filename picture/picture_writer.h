// SPDX-License-Identifier: MIT
// The one place that writes picture files.
#pragma once

#include <FreeImage.h>

#include <string>

// Writes bitmap to path in the format its extension names. A CMYK picture
// stays CMYK in TIFF and is converted to RGB for other formats; 8-bit
// greyscale stays 8-bit. The file appears complete or not at all: it is
// written beside the target under another name and then renamed over it.
// false, with the reason in error, when nothing was written.
bool WritePicture(FIBITMAP* bitmap, const std::string& path, std::string& error);

// True when path's extension names a format WritePicture can write.
bool IsWritablePictureName(const std::string& path);
