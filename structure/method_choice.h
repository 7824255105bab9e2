// SPDX-License-Identifier: MIT
// Which fill suits a hole: the patch engine and the offset fill each fill a
// reduced copy of the hole's surroundings with the hole grown by a ring of
// known pixels, and the one that puts the ring back more closely is chosen.
// Each wins on different pictures (the engine where the hole holds one
// texture or a distinct object lies beside it, the offset fill where a long
// line must go through), and the ring tells them apart where it holds the
// structure that meets the hole.
#pragma once

#include "structure/fill_grid.h"

#include <cstdint>
#include <functional>

// How far each fill missed the held-out ring: summed absolute differences
// over its pixels and channels.
struct RingErrors {
    int64_t patches = 0;
    int64_t offsets = 0;
    int64_t ringPixels = 0;
    int channels = 0;
};

// The offset fill as the trial runs it, on a job of its own.
using OffsetFill = std::function<InpaintOutcome(const InpaintJob&)>;

// Runs the trial for the job's hole on around (the fill's surroundings at
// full resolution, read from the job): the patch engine with the job's patch
// size and gap scaled down with the picture, and offsetFill. The job itself
// is not written. A trial without ring pixels, or stopped, gives zeros.
RingErrors TryBothFills(const InpaintJob& job, const FillGrid& around, const OffsetFill& offsetFill);

// True when the patch engine put the ring back more closely (ties keep the
// offset fill), or missed it by only a few levels on average: on smooth
// scenes the trial's small patches miss a gradient's shade that the engine
// gets right at full size, so the trial understates it there.
bool PatchesFitBetter(const RingErrors& errors);
