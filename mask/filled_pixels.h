// SPDX-License-Identifier: MIT
// Which pixels a job filled, for putting its result back into a picture of
// 16 bits per channel: hole pixels before the job that are no longer hole.
#pragma once

#include "mask/overlay_to_mask.h"

#include <FreeImage.h>

#include <cstdint>
#include <vector>

// One byte per pixel by scan line, non-zero where mask (8 bits) holds MaskHole.
std::vector<uint8_t> HolePixels(FIBITMAP* mask);

// How many pixels the overlay marks for removal that the job of mask (8
// bits, after the job) left unfilled: still hole, or outside every outline;
// guide pixels count when they were hole pixels and still are.
long long CountUnfilledMarks(const OverlayRows& overlay, FIBITMAP* mask);

// Clears the pixels of holes that mask still marks as hole: the job left them.
void KeepFilledPixels(std::vector<uint8_t>& holes, FIBITMAP* mask);
