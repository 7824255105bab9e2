// SPDX-License-Identifier: MIT
// Pictures stored turned or mirrored (a camera held upright writes its
// pixels on their side and says so in EXIF) turned to stand upright.
#pragma once

#include "picture/bitmap.h"
#include "picture/picture_loader.h"

// bitmap turned and/or mirrored as EXIF orientation (1 to 8) asks for it to
// show upright: the same pixel type and layout (8 to 128 bits, CMYK too),
// palette, metadata, ICC profile and resolution, the width and height and
// the two resolutions swapped for a quarter turn. Null when memory runs out
// or the layout has less than 8 bits per pixel; a copy for orientation 1.
BitmapPtr TurnUpright(FIBITMAP* bitmap, int orientation);

// The width and height a picture of that size has once upright.
void UprightSize(int orientation, unsigned& width, unsigned& height);

// Turns both pictures of loaded upright by their EXIF orientation and marks
// them Orientation 1; the orientation found (1: nothing was done). On
// running out of memory loaded is emptied and says so in its error.
int TurnLoadedPictureUpright(LoadedPicture& loaded);
