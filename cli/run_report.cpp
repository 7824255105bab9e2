// SPDX-License-Identifier: MIT
#include "cli/run_report.h"

#include "engine/scan_rectangle.h"
#include "picture/metadata_loss_text.h"

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
    out << "picture:  " << summary.width << " x " << summary.height << " pixels, " << summary.depth
        << (summary.cmyk ? " (CMYK)" : "") << '\n';
    out << "hole:     " << summary.holePixels << " pixels\n";
    if (summary.holePixels == 0)
        out << "path:     nothing to fill\n";
    else
        out << "path:     " << FillMethodName(summary.method)
            << (summary.method == FillMethod::Patches && summary.wholeRegion ? " (whole-region neighbour averaging)" : "")
            << '\n';
    PrintGuides(out, summary);
    out << "time:     " << std::fixed << std::setprecision(6) << summary.seconds << " s\n";
    out << "unfilled: " << summary.unfilledPixels << " pixels\n";
    out << "written:  " << summary.output << " (" << summary.outputDepth << ")\n";
    PrintLosses(out, summary);
    if (!summary.savedMask.empty())
        out << "mask:     " << summary.savedMask << '\n';
}

void PrintGuides(std::ostream& out, const RunSummary& summary)
{
    if (summary.guidePixels == 0)
        return;
    out << "guides:   " << summary.guidePixels << (summary.guidePixels == 1 ? " pixel" : " pixels")
        << (summary.method == FillMethod::Patches ? ", ignored by the patches method" : "") << '\n';
}

void PrintLosses(std::ostream& out, const RunSummary& summary)
{
    if (!summary.metadataNotWritten.empty())
        out << MetadataLossText(summary.output, summary.metadataNotWritten) << '\n';
    if (summary.lossyOutput)
        out << "notice:   JPEG is lossy: the whole picture loses detail, not only the filled part\n";
}
