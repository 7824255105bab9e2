// SPDX-License-Identifier: MIT
#include "cli/run_report.h"

#include "engine/scan_rectangle.h"

#include <iomanip>

long long CountHolePixels(InpaintJob job)
{
    job.scanMinX = 0;
    job.scanMinY = 0;
    job.scanMaxX = job.imageWidth - 1;
    job.scanMaxY = job.imageHeight - 1;
    return CountScanRectangle(job).holeCount;
}

void PrintSummary(std::ostream& out, const RunSummary& summary)
{
    out << "picture:  " << summary.width << " x " << summary.height << " pixels, " << summary.bitsPerPixel
        << " bits per pixel" << (summary.cmyk ? " (CMYK)" : "") << '\n';
    out << "hole:     " << summary.holePixels << " pixels\n";
    if (summary.holePixels == 0)
        out << "path:     nothing to fill\n";
    else
        out << "path:     " << (summary.wholeRegion ? "whole-region (neighbour averaging)" : "patches") << '\n';
    out << "time:     " << std::fixed << std::setprecision(6) << summary.seconds << " s\n";
    out << "unfilled: " << summary.unfilledPixels << " pixels\n";
    out << "written:  " << summary.output << '\n';
    if (!summary.savedMask.empty())
        out << "mask:     " << summary.savedMask << '\n';
}
