// SPDX-License-Identifier: MIT
// What quenlo-inpaint prints about a run.
#pragma once

#include "engine/inpaint_job.h"

#include <ostream>
#include <string>

struct RunSummary {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    bool cmyk = false;
    long long holePixels = 0;
    bool wholeRegion = false; // the fill path the engine takes
    double seconds = 0.0;
    long long unfilledPixels = 0;
    std::string output;
    std::string savedMask; // empty when no mask was written
};

// The MaskHole pixels of the job's whole mask, counted as the engine counts
// its scan rectangle.
long long CountHolePixels(InpaintJob job);

void PrintSummary(std::ostream& out, const RunSummary& summary);
