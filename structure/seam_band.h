// SPDX-License-Identifier: MIT
// The hole pixels near a seam between two offsets, or holding an offset
// they cannot copy with: the ones a full-resolution cut may still move.
#pragma once

#include "structure/offset_labels.h"

#include <vector>

// Gives every hole pixel whose label cannot copy the first label that can
// (or NoLabel), and returns the hole pixels within reach of a seam or of
// such a pixel, in scan order.
std::vector<int> SeamBand(const OffsetEnergy& energy, LabelMap& labels, int reach);
