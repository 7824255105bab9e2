// SPDX-License-Identifier: MIT
// Blends the copies into each other and into the picture around the hole in
// the gradient domain: each filled pixel keeps its copy's colour steps to its
// neighbours, a step across a seam becomes the mean of the two copies' steps
// there, and the colour jumps the seams left are spread smoothly over the
// hole (a Poisson equation, solved by multigrid).
#pragma once

#include "structure/grid_box.h"
#include "structure/offset_refinement.h"

#include <cstdint>
#include <vector>

// The colours of the filled pixels in a box of the grid.
struct BlendedColours {
    GridBox box;
    int channels = 0;
    std::vector<uint8_t> colour;

    const uint8_t* At(int x, int y) const
    {
        return colour.data() +
               (static_cast<std::size_t>(y - box.minY) * box.Width() + (x - box.minX)) * channels;
    }
};

BlendedColours BlendSeams(const FillGrid& grid, const FineLabels& labels);
