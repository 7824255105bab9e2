// SPDX-License-Identifier: MIT
// Pictures of 16 bits per channel: the engine edits an 8-bit working image
// made from them, and what it changed is put back into them, so that every
// other pixel keeps its full precision.
#pragma once

#include "picture/bitmap.h"

#include <cstdint>
#include <string>
#include <vector>

// 16-bit greyscale, 48-bit RGB and 64-bit RGBA or CMYK pictures.
bool IsFullDepth(FIBITMAP* bitmap);

// The working image of a full-depth picture: the high byte of every sample,
// as 8-bit greyscale, 24-bit RGB or 32-bit RGBA or CMYK, with the picture's
// metadata, ICC profile and resolution. Null when out of memory.
BitmapPtr ReduceToWorkingDepth(FIBITMAP* fullDepth);

// Puts the engine's result into fullDepth. filled holds one byte per pixel,
// rows from the bottom as FreeImage stores them, non-zero where the engine
// filled a hole pixel. working is the reduction of fullDepth made before the
// engine ran, edited in place since; it has fullDepth's size.
void ComposeFullDepth(FIBITMAP* fullDepth, FIBITMAP* working, const std::vector<uint8_t>& filled);

// "48 bits per pixel, 16 per channel", "8 bits per pixel (greyscale)" and the like.
std::string DepthText(FIBITMAP* bitmap);
