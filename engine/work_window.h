// SPDX-License-Identifier: MIT
// Sizes of the working window around the hole.
#pragma once

#include "engine/inpaint_job.h"

// patchSize limited to 3..128.
int ClampPatchSize(int patchSize);
// searchGap raised to at least 1.
int ClampSearchGap(int searchGap);

// Margin around the hole box: wide enough that every patch and candidate of
// the job, at its largest, stays inside the window. Wide enough for any gap.
long long WindowMargin(int patchSize, int searchGap);

// The window normally exceeds the picture by a thin margin; only an absurd
// search gap makes it larger than a few pictures, and such a window is not
// built: its sides might not even fit an int.
bool WindowFitsPicture(int minX, int maxX, int minY, int maxY, int patchSize, int searchGap, int imageWidth,
                       int imageHeight);

// Window geometry for the hole box (image coordinates, inclusive) with the
// clamped patch size and gap, once WindowFitsPicture allows it; the buffers
// are left empty.
WorkWindow MakeWorkWindow(int minX, int maxX, int minY, int maxY, int patchSize, int searchGap);
