// SPDX-License-Identifier: MIT
// Canvas layers: top-down Format_RGB32 images of the picture's size.
#pragma once

#include <FreeImage.h>
#include <QImage>
#include <QRect>

QImage MakeBlackLayer(int width, int height);
// A new layer of the bitmap's size showing it as RenderBitmapIntoLayer draws
// it; black when that draws nothing. Null when there is no memory for it.
QImage LayerOf(FIBITMAP* bitmap);

// Copies an 8-bit greyscale, 24-bit or 32-bit bitmap into a layer of the same
// size pixel for pixel: FreeImage's bottom row becomes the layer's bottom row,
// 8-bit bytes are shown as grey and a fourth byte is ignored. A bitmap of
// another depth or size leaves the layer unchanged.
void RenderBitmapIntoLayer(FIBITMAP* bitmap, QImage& layer);
// The same for the pixels inside rect (top-down coordinates) only.
void RenderBitmapIntoLayer(FIBITMAP* bitmap, QImage& layer, const QRect& rect);

// The display is the picture with the strokes on top: copies the overlay's
// marks (its pixels that are not black) inside rect onto the display.
void DrawStrokesOnto(const QImage& overlay, QImage& display, const QRect& rect);

// Copies rect's pixels of one layer into another of the same size and format.
void CopyLayerRect(const QImage& from, QImage& to, const QRect& rect);
