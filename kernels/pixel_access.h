// SPDX-License-Identifier: MIT
// Single-pixel reads and writes on 8-, 24- and 32-bit FreeImage bitmaps.
// Channels are the bytes of an RGBQUAD in memory order (blue, green, red,
// fourth byte); an 8-bit pixel is its raw byte, never looked up in a palette.
#pragma once

#include <FreeImage.h>

// The mask code at (x, y), or 0 when FreeImage cannot read an index there
// (outside the bitmap, or a bitmap of more than 8 bits per pixel).
int ReadMaskValue(FIBITMAP* bitmap, int x, int y, bool* ok = nullptr);

// Writes the low byte of value; FreeImage rejects coordinates outside the bitmap.
void WriteMaskValue(FIBITMAP* bitmap, int x, int y, int value);

// Reads bytesPerPixel (1, 3 or 4) channels into channels[0..]. Channels the
// call does not name, and all of them when the read fails or bytesPerPixel
// is anything else, keep what the caller had in them.
void ReadPixel(FIBITMAP* bitmap, int x, int y, int channels[4], int bytesPerPixel);

// Writes the low byte of each channel; with 3 bytes per pixel the fourth byte
// is written as 0. Any other bytesPerPixel than 1, 3 or 4 writes nothing.
void WritePixel(FIBITMAP* bitmap, int x, int y, const int channels[4], int bytesPerPixel);

// 1, 3 or 4 for 8, 24 or 32 bits per pixel; 0 for any other depth.
int BytesPerPixelOf(FIBITMAP* bitmap);
