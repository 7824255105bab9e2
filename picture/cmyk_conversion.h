// SPDX-License-Identifier: MIT
// The RGB rendering of a CMYK separation, as the editor shows and saves it.
#pragma once

#include "picture/bitmap.h"

// Fills rgb (24 bits per pixel) from cmyk (32 bits: cyan, magenta, yellow,
// black); both of the same size.
void ConvertCmykToRgb(FIBITMAP* cmyk, FIBITMAP* rgb);

// A new 24-bit picture of cmyk's size, converted; null when out of memory.
BitmapPtr CmykToRgb(FIBITMAP* cmyk);
