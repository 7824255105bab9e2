// SPDX-License-Identifier: MIT
// Sizes of the working window around the hole.
#pragma once

#include "engine/inpaint_job.h"

// patchSize limited to 3..128.
int ClampPatchSize(int patchSize);
// searchGap raised to at least 1.
int ClampSearchGap(int searchGap);

// Margin around the hole box: wide enough that every patch and candidate of
// the job, at its largest, stays inside the window.
int WindowMargin(int patchSize, int searchGap);

// Window geometry for the hole box (image coordinates, inclusive) with the
// clamped patch size and gap; the buffers are left empty.
WorkWindow MakeWorkWindow(int minX, int maxX, int minY, int maxY, int patchSize, int searchGap);
