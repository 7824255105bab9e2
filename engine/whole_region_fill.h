// SPDX-License-Identifier: MIT
#pragma once

#include <FreeImage.h>

// Fills hole pixels by averaging their known 8-neighbours: a seed sweep over
// the box (image coordinates, inclusive), then waves that spread from every
// filled pixel through connected hole pixels, also beyond the box. Every
// pixel it fills ends with code MaskSource.
void FillWholeRegion(int minX, int maxX, int minY, int maxY, int imageWidth, int imageHeight, int bytesPerPixel,
                     FIBITMAP* targetImage, FIBITMAP* maskImage);
