// SPDX-License-Identifier: MIT
// How the driver decides between the patch-by-patch fill and neighbour
// averaging alone; shared with callers that want to say which path a job takes.
#pragma once

// True when the hole is too large for patches against the known area
// (more than 100 hole pixels per Source pixel, or no Source at all).
bool ChoosesWholeRegionFill(long long holeCount, long long knownCount);
