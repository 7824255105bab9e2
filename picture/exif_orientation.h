// SPDX-License-Identifier: MIT
// The EXIF Orientation of a picture: read, and set to 1 once the pixels
// have been turned upright. The one place that knows where the value lives.
#pragma once

#include <FreeImage.h>

// How the stored pixels must be turned to show upright, as EXIF numbers
// it: 1 as stored, 2 to 8 mirrored and/or turned; 1 when the picture has
// no Orientation or one outside 1 to 8.
int ExifOrientation(FIBITMAP* bitmap);

// The picture's pixels are upright now: Orientation 1 in the main EXIF
// tags, in the raw EXIF block a JPEG file gave it and in its XMP packet,
// wherever it has one, so that no file written from it is turned again.
void MarkUpright(FIBITMAP* bitmap);
