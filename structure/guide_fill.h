// SPDX-License-Identifier: MIT
// The hole along the user's guide lines is filled before anything else:
// patches taken along the guide's own known part are laid along its part in
// the hole, each chosen for how it fits the picture around it, its
// neighbours along the line and the line's direction there (one dynamic
// programme per stretch of line), so that the edge the user drew runs on
// through the hole. The rest of the hole is then filled around them.
#pragma once

#include "structure/fill_grid.h"
#include "structure/structure_fill.h"

#include <vector>

// A hole pixel filled along a guide, and where it was copied from.
struct GuidedPixel {
    int index = 0; // in the grid
    Offset offset;
};

// Fills the hole pixels of grid along the guides: they become known pixels
// of the grid with their copied colour, and are returned. guides covers the
// job's picture; the grid is a part of it at full resolution.
std::vector<GuidedPixel> FillAlongGuides(FillGrid& grid, const GuideMap& guides, int imageWidth);
