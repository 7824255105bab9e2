// SPDX-License-Identifier: MIT
#include "cli/run_inpaint.h"

#include "cli/job_setup.h"
#include "cli/run_report.h"
#include "engine/fill_choice.h"
#include "engine/scan_rectangle.h"
#include "kernels/parallel_for.h"
#include "picture/picture_writer.h"

#include <chrono>
#include <memory>

ExitStatus RunInpaint(const CliOptions& options, std::ostream& out, CliFailure& failure)
{
    std::optional<PreparedJob> prepared = PrepareJob(options, failure);
    if (!prepared)
        return failure.status;
    const InpaintJob& job = prepared->job;
    FIBITMAP* const picture = prepared->picture.get();

    RunSummary summary;
    summary.width = job.imageWidth;
    summary.height = job.imageHeight;
    summary.bitsPerPixel = static_cast<int>(FreeImage_GetBPP(picture));
    summary.cmyk = FreeImage_GetColorType(picture) == FIC_CMYK;
    const ScanCounts counts = CountScanRectangle(job);
    summary.holePixels = counts.holeCount;
    summary.wholeRegion = ChoosesWholeRegionFill(counts.holeCount, counts.knownCount);

    {
        std::unique_ptr<WorkerThreadLimit> limit;
        if (options.threads > 0)
            limit = std::make_unique<WorkerThreadLimit>(options.threads);
        const auto start = std::chrono::steady_clock::now();
        InpaintRegion(job);
        summary.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    summary.unfilledPixels = CountHolePixels(job);

    std::string error;
    if (!WritePicture(picture, options.output, error)) {
        failure = CliFailure{ExitWriteFailed, options.output + ": " + error};
        return failure.status;
    }
    summary.output = options.output;
    if (!options.saveMask.empty()) {
        if (!WritePicture(job.maskImage, options.saveMask, error)) {
            failure = CliFailure{ExitWriteFailed, options.saveMask + ": " + error};
            return failure.status;
        }
        summary.savedMask = options.saveMask;
    }
    if (!options.quiet)
        PrintSummary(out, summary);
    return ExitDone;
}
