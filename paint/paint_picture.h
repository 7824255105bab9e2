// SPDX-License-Identifier: MIT
// One Paint's fill, as both programs run it.
#pragma once

#include "engine/inpaint_job.h"
#include "structure/fill_method.h"

#include <FreeImage.h>

// Runs method on job. fullDepth, when given, is the picture at 16 bits per
// channel whose 8-bit reduction job.targetImage is: a finished fill is
// carried into it (the patch engine's copies as their sources' 16 bits, its
// blends and averages computed from 16-bit values; the structure method's
// copies as their sources' low bytes under its 8-bit result), and the target
// stays its reduction; every pixel the fill did not change keeps every bit.
InpaintOutcome PaintPicture(InpaintJob job, FillMethod method, FIBITMAP* fullDepth, const GuideMap* guides);
