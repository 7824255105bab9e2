// SPDX-License-Identifier: MIT
// Bitmaps for the engine tests, read and written byte by byte through the
// scan lines so that the checks do not lean on the accessors under test.
#pragma once

#include "engine/inpaint_job.h"
#include "picture/bitmap.h"

#include <FreeImage.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

using Bitmap = BitmapPtr;

using Channels = std::array<int, 4>;

// A zeroed bitmap of 8, 24 or 32 bits; 8-bit ones get a grey palette.
Bitmap MakeBitmap(int width, int height, int bitsPerPixel);
// A zeroed 32-bit bitmap whose colour type is FIC_CMYK.
Bitmap MakeCmykBitmap(int width, int height);
Bitmap CloneBitmap(FIBITMAP* bitmap);

int BytesPerPixel(FIBITMAP* bitmap);
// The pixel's bytes in memory order; bytes past the pixel read as 0.
Channels PixelAt(FIBITMAP* bitmap, int x, int y);
void SetPixelAt(FIBITMAP* bitmap, int x, int y, Channels channels);
void FillBitmap(FIBITMAP* bitmap, Channels channels);
// Smooth stripes and blobs with noise, the same for the same seed.
void PaintTexture(FIBITMAP* bitmap, uint32_t seed);

int CodeAt(FIBITMAP* mask, int x, int y);
void SetCode(FIBITMAP* mask, int x, int y, int code);
void FillCodes(FIBITMAP* mask, int x0, int x1, int y0, int y1, int code);

bool SameBytes(FIBITMAP* a, FIBITMAP* b);
// FNV-1a 64 over width, height, bits per pixel and the pixel bytes of each row.
uint64_t HashBitmap(FIBITMAP* bitmap, uint64_t hash = 14695981039346656037ull);

InpaintJob MakeJob(FIBITMAP* image, FIBITMAP* mask, int scanMinX, int scanMaxX, int scanMinY, int scanMaxY,
                   int patchSize, int searchGap, bool smoothSeam);

// Saves a PNG into the test output folder of the build tree; returns its path.
std::string SaveForInspection(FIBITMAP* bitmap, const std::string& name);
