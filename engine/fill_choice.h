// SPDX-License-Identifier: MIT
// How the driver decides between the patch-by-patch fill and neighbour
// averaging alone; shared with callers that want to say which path a job takes.
#pragma once

#include "engine/inpaint_job.h"

struct ScanCounts {
    long long holeCount = 0;  // MaskHole pixels
    long long knownCount = 0; // MaskSource pixels
};

// True when the hole is too large for patches against the known area
// (more than 100 hole pixels per Source pixel, or no Source at all).
bool ChoosesWholeRegionFill(long long holeCount, long long knownCount);

// The hole and Source pixels of the job's scan rectangle, cut to the image,
// as the driver counts them before it chooses.
ScanCounts CountScanRectangle(const InpaintJob& job);
