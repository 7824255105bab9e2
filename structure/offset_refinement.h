// SPDX-License-Identifier: MIT
// From the offsets chosen on the reduced grid to offsets exact to the pixel:
// every region of one offset tries the offsets around its own (scaled up)
// and keeps the one whose copy agrees best with what lies around the region.
#pragma once

#include "structure/fill_grid.h"
#include "structure/label_map.h"

#include <cstdint>
#include <vector>

struct FineLabels {
    std::vector<Offset> offsets;  // one per label
    LabelMap labels;              // for the pixels of the full-resolution grid
};

FineLabels RefineOffsets(const FillGrid& fine, const FillGrid& reduced, const std::vector<Offset>& reducedOffsets,
                         const LabelMap& reducedLabels);
