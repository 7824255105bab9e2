// SPDX-License-Identifier: MIT
// The two steps that close a job: the window goes back into the bitmaps, and
// every filled code becomes Source.
#pragma once

#include "engine/inpaint_job.h"

// Writes every window pixel inside the image back: its code into maskImage
// and, unless the code is 0, its colour into targetImage. Both bitmaps have a
// plain layout and the image's size.
void WriteBackWindow(const WorkWindow& window, const PictureView& picture);

// Turns codes 221 to 254 into 255 in columns x0..x1 and lines y0..y1
// (inclusive) of an 8-bit mask; any other bitmap is left alone.
void PromoteFilledCodes(int x0, int x1, int y0, int y1, FIBITMAP* maskImage);
