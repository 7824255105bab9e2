// SPDX-License-Identifier: MIT
// Metadata read by us where FreeImage reads none or reads it wrongly: a
// PNG file's eXIf chunk, and a TIFF file's directories (FreeImage's TIFF
// reader skips Orientation and GPS, misreads rationals, and takes the ICC
// profile from freed memory when the file has an Exif directory).
#pragma once

#include "picture/bitmap.h"

#include <string>

// A one-pixel picture holding the metadata of the TIFF file at path as its
// first directory and those it points to have it: the EXIF models keyed by
// tag number (every entry of the first directory in the main model), XMP,
// IPTC datasets (in the custom model, keyed by number), GeoTIFF tags and
// the ICC profile; null when the file's structure cannot be read.
BitmapPtr ReadTiffMetadata(const std::string& path);

// Replaces bitmap's main, Exif, GPS and Interop models with the tags the
// TIFF file at path (format FIF_TIFF) or its PNG eXIf chunk (FIF_PNG)
// holds, leaving out those the file states for itself, and a TIFF file's
// ICC profile with the one it holds; FreeImage's names stay where it knew
// the tag. Nothing changes when the file holds no such structure.
void ReadExifOfFile(const std::string& path, FREE_IMAGE_FORMAT format, FIBITMAP* bitmap);
