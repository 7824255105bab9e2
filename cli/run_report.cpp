// SPDX-License-Identifier: MIT
#include "cli/run_report.h"

#include "kernels/pixel_access.h"

#include <iomanip>

long long CountHolePixels(FIBITMAP* mask)
{
    const int width = static_cast<int>(FreeImage_GetWidth(mask));
    const int height = static_cast<int>(FreeImage_GetHeight(mask));
    long long count = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (ReadMaskValue(mask, x, y) == MaskHole)
                ++count;
    return count;
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
