// SPDX-License-Identifier: MIT
#pragma once

#include "engine/inpaint_job.h"

// Fills hole pixels by averaging their known 8-neighbours: a seed sweep over
// the box (image coordinates, inclusive), then waves that spread from every
// filled pixel through connected hole pixels, also beyond the box. Every
// pixel it fills ends with code MaskSource.
void FillWholeRegion(const PictureView& picture, int minX, int maxX, int minY, int maxY);
