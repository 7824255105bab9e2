// SPDX-License-Identifier: MIT
// The structure fill: every hole pixel is given one offset to a known pixel,
// chosen jointly for the whole hole, so that a horizon or an edge keeps one
// offset along its length. Same job record in, same bitmaps out as the patch
// engine; it lives beside it and leaves it untouched.
#pragma once

#include "engine/inpaint_job.h"

#include <cstdint>
#include <vector>

// A filled pixel and the known pixel its colour was copied from (before the
// seams were blended), in the job's coordinates. Lets a caller copy deeper
// samples than the 8-bit working picture holds.
struct CopiedPixel {
    int32_t x = 0;
    int32_t y = 0;
    int32_t fromX = 0;
    int32_t fromY = 0;
};

// Guide lines the user drew where an edge runs: one byte per picture pixel,
// rows from the bottom as in the mask, non-zero on a guide. Guide pixels on
// the hole are hole pixels in the mask as well; the others show where the
// edge comes from.
using GuideMap = std::vector<uint8_t>;

// Fills the hole pixels of job.maskImage in job.targetImage and codes every
// filled pixel MaskSource, as InpaintRegion does; the result is the same for
// any number of threads. When copied is given it receives one entry per
// filled pixel that was copied rather than averaged. guides, when given,
// holds imageWidth * imageHeight bytes.
InpaintOutcome StructureFill(InpaintJob job, std::vector<CopiedPixel>* copied = nullptr,
                             const GuideMap* guides = nullptr);
