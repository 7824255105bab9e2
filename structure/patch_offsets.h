// SPDX-License-Identifier: MIT
// The offsets that similar parts of a picture keep to each other: every
// known patch finds its most similar known patch some way off, and the
// offsets that occur most often, counted more near the hole, are the moves
// a fill may copy with.
#pragma once

#include "structure/fill_grid.h"
#include "structure/grid_box.h"

#include <vector>

// Up to count offsets, the most frequent first; patches are whole squares of
// Source pixels and never match within minimumShift of themselves.
std::vector<Offset> DominantOffsets(const FillGrid& grid, const GridBox& holeBox, int count, int minimumShift);
