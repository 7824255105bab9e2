// SPDX-License-Identifier: MIT
// The fill front: known pixels touching the hole, each with a priority, and
// the choice of the next point to fill.
#pragma once

#include "engine/inpaint_job.h"
#include "engine/job_scratch.h"

#include <cstdint>

// Number of the 8 neighbours of window pixel (x, y) whose code is MaskHole.
int CountHoleNeighbours(const uint8_t* maskBuffer, int width, int x, int y);

// The front point at (x, y) with its normal, gradient and priority.
GrowPoint ComputeGrowPoint(const WindowView& window, int x, int y, int holeNeighbours, int colourType);

// Appends to FillFront, in row-major order, every known pixel of the hole box
// grown by one pixel (window coordinates, inclusive) that has 1 to 6 hole
// neighbours; in the first pass their positions also go to InitialFront.
// Only the lines near a hole are looked at, with marks kept in scratch.
void BuildFront(const WindowView& window, int minX, int maxX, int minY, int maxY, int colourType, bool firstPass,
                JobScratch& scratch);
