// SPDX-License-Identifier: MIT
// The exemplar search: in a square ring around the search centre, the Source
// patch whose sampled pixels best match the known pixels of the target patch.
#pragma once

#include "engine/inpaint_job.h"
#include "engine/job_scratch.h"

#include <cstddef>

// The search compares whole blocks of bytes and may read up to this many
// bytes past the end of a patch row: the buffers it searches hold that many
// bytes past their last pixel.
constexpr std::size_t SearchReadPadding = 32;

// trunc(s / 32 + 0.5), at least 1: 1 up to s = 47, 4 from 112.
int SearchStepFor(int patchSize);

// Loads the known pixels of the patch of edge s around (x, y) at the sampled
// positions, as the search compares them: the rows of scratch.target (the
// plain engine fills TargetPlanes). Returns the number of known sampled
// positions.
int LoadTarget(const WindowView& window, int x, int y, int s, int searchStep, JobScratch& scratch);

// Tries the ring of candidates around (cx, cy) of outer radius s + g, without
// those nearer than g in both directions, in four strips; a candidate is
// accepted when its centre is Source and every known sampled target position
// faces a Source pixel, and wins when its mean difference per channel is
// strictly below the best so far. The target must be loaded. Returns whether
// a candidate was accepted; the winner is left in BestMatch and, at the
// sampled positions, in ExemplarPlanes.
bool SearchExemplar(const WindowView& window, int cx, int cy, int s, int g, int targetKnownCount, int searchStep,
                    JobScratch& scratch);
