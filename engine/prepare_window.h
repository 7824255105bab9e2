// SPDX-License-Identifier: MIT
#pragma once

#include "engine/inpaint_job.h"

// Copies the window's part of the picture's maskImage and targetImage into the window's
// buffers, which must already have their full size. Window pixels outside
// the image, and excluded pixels, get code 0 and zero colour bytes. Both
// bitmaps have a plain layout (8-bit mask, target of bytesPerPixel bytes)
// and the image's size.
void PrepareWindow(WorkWindow& window, const PictureView& picture);
