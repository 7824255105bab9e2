// SPDX-License-Identifier: MIT
// The mask route: a picture whose non-black pixels are the hole, as other
// inpainting tools take it.
#pragma once

#include "engine/inpaint_job.h"

// Writes MaskHole into mask (8 bits, the size of holes) wherever holes has
// a non-zero colour byte and MaskSource elsewhere, and returns the job whose
// scan rectangle is the hole's bounding box; an empty hole gives the same
// empty rectangle as an overlay without removal strokes.
InpaintJob MaskPictureToJob(FIBITMAP* holes, FIBITMAP* mask, int patchSize, bool smoothSeam, FIBITMAP* targetImage);
