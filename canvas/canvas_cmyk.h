// SPDX-License-Identifier: MIT
// The RGB working image of a CMYK picture.
#pragma once

#include <FreeImage.h>

// Fills the 24-bit rgb bitmap from the 32-bit cmyk bitmap of the same size:
// each of cyan, magenta and yellow is darkened by black,
// v = K + (255 - K) * value / 255 (truncated, at most 255), and the colour is
// 255 - v, cyan to red, magenta to green, yellow to blue.
void CanvasCmykToRgb(FIBITMAP* cmyk, FIBITMAP* rgb);
