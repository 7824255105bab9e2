// SPDX-License-Identifier: MIT
// From the offsets chosen on the reduced grid to offsets exact to the pixel:
// every region of one offset tries the offsets around its own (scaled up)
// and keeps the one whose copy agrees best with what lies around the region.
#pragma once

#include "structure/fill_grid.h"
#include "structure/offset_labels.h"

#include <cstdint>
#include <vector>

struct FineLabels {
    std::vector<Offset> offsets;  // one per label
    std::vector<int32_t> labels;  // one per pixel of the full-resolution grid
};

FineLabels RefineOffsets(const FillGrid& fine, const FillGrid& reduced, const std::vector<Offset>& reducedOffsets,
                         const std::vector<int32_t>& reducedLabels);
