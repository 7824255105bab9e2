// SPDX-License-Identifier: MIT
// Canvas layers: top-down Format_RGB32 images of the picture's size.
#pragma once

#include <FreeImage.h>
#include <QImage>

QImage MakeBlackLayer(int width, int height);

// Copies an 8-bit greyscale, 24-bit or 32-bit bitmap into a layer of the same
// size pixel for pixel: FreeImage's bottom row becomes the layer's bottom row,
// 8-bit bytes are shown as grey and a fourth byte is ignored. A bitmap of
// another depth or size leaves the layer unchanged.
void RenderBitmapIntoLayer(FIBITMAP* bitmap, QImage& layer);
