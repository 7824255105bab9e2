// SPDX-License-Identifier: MIT
// Small pictures written to files for the loading, view and canvas tests.
#pragma once

#include "picture/bitmap.h"

#include <QString>

// A bitmap of one colour; channels in memory order (blue, green, red, fourth).
BitmapPtr MakeBitmap(int width, int height, int bitsPerPixel, const int channels[4]);

// A 32-bit bitmap marked as CMYK, every pixel holding cyan, magenta, yellow, black.
BitmapPtr MakeCmykBitmap(int width, int height, const int inks[4]);

// Saves the bitmap as path (format from the name); fails the test when it cannot.
QString SavePicture(FIBITMAP* bitmap, const QString& path);
