// SPDX-License-Identifier: MIT
// What quenlo-inpaint prints about a run.
#pragma once

#include "engine/inpaint_job.h"
#include "structure/fill_method.h"

#include <ostream>
#include <string>
#include <vector>

struct RunSummary {
    int width = 0;
    int height = 0;
    std::string depth; // "48 bits per pixel, 16 per channel"
    bool cmyk = false;
    long long holePixels = 0;
    FillMethod method = FillMethod::Patches;
    bool wholeRegion = false; // the patch engine fills by averaging alone
    long long guidePixels = 0; // guide line pixels the overlay holds
    double seconds = 0.0;
    long long unfilledPixels = 0;
    std::string output;
    std::string outputDepth;
    std::vector<std::string> metadataNotWritten; // kinds of the input's metadata the output lacks
    bool lossyOutput = false;                    // JPEG written from a picture that was not
    std::string savedMask; // empty when no mask was written
};

// The MaskHole pixels of the job's whole mask, counted as the engine counts
// its scan rectangle.
long long CountHolePixels(InpaintJob job);

void PrintSummary(std::ostream& out, const RunSummary& summary);

// The report's line about the guide lines: how many pixels the structure
// method followed, or that the patch method ignored them; nothing without guides.
void PrintGuides(std::ostream& out, const RunSummary& summary);

// The report's lines about what the output lost: metadata it could not
// hold and a lossy format; nothing when it lost neither.
void PrintLosses(std::ostream& out, const RunSummary& summary);
