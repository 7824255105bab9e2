// SPDX-License-Identifier: MIT
#pragma once

#include "engine/inpaint_job.h"

// The job fields the editor's settings decide: the gap is half the patch
// size, and the picture being edited is both target and source.
inline void SetEditorJobFields(InpaintJob& job, int patchSize, bool smoothSeam, int width, int height,
                               FIBITMAP* targetImage, FIBITMAP* mask)
{
    job.patchSize = patchSize;
    job.searchGap = patchSize / 2;
    job.imageWidth = width;
    job.imageHeight = height;
    job.targetImage = targetImage;
    job.sourceImage = targetImage;
    job.maskImage = mask;
    job.smoothSeam = smoothSeam ? 1 : 0;
}
