// SPDX-License-Identifier: MIT
#include "cli/run_inpaint.h"

#include "cli/job_setup.h"
#include "cli/run_report.h"
#include "engine/fill_choice.h"
#include "engine/scan_rectangle.h"
#include "kernels/parallel_for.h"
#include "paint/paint_picture.h"
#include "picture/picture_writer.h"

#include <algorithm>
#include <chrono>
#include <memory>

ExitStatus RunInpaint(const CliOptions& options, std::ostream& out, std::ostream& err, CliFailure& failure)
{
    std::optional<PreparedJob> prepared = PrepareJob(options, failure);
    if (!prepared)
        return failure.status;
    const InpaintJob& job = prepared->job;
    FIBITMAP* const picture = prepared->picture.get();

    FIBITMAP* const fullDepth = prepared->fullDepth.get();

    RunSummary summary;
    summary.width = job.imageWidth;
    summary.height = job.imageHeight;
    summary.depth = prepared->inputDepth;
    summary.cmyk = FreeImage_GetColorType(picture) == FIC_CMYK;
    const ScanCounts counts = CountScanRectangle(job);
    summary.holePixels = counts.holeCount;
    summary.method = options.method;
    summary.wholeRegion = ChoosesWholeRegionFill(counts.holeCount, counts.knownCount);
    const GuideMap& guides = prepared->guides;
    summary.guidePixels = std::count_if(guides.begin(), guides.end(), [](uint8_t guide) { return guide != 0; });

    {
        std::unique_ptr<WorkerThreadLimit> limit;
        if (options.threads > 0)
            limit = std::make_unique<WorkerThreadLimit>(options.threads);
        const auto start = std::chrono::steady_clock::now();
        PaintPicture(job, options.method, fullDepth, guides.empty() ? nullptr : &guides);
        summary.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    summary.unfilledPixels = CountHolePixels(job);

    std::string error;
    WriteOptions writeOptions;
    writeOptions.jpegQuality = options.jpegQuality;
    writeOptions.replaceReadOnly = options.force;
    WrittenPicture written;
    // With --save-mask both files change together or neither does.
    std::vector<PictureToWrite> outputs{{fullDepth != nullptr ? fullDepth : picture, options.output, &written}};
    if (!options.saveMask.empty())
        outputs.push_back({job.maskImage, options.saveMask});
    std::string failedPath;
    if (!WritePictures(outputs, error, failedPath, writeOptions)) {
        failure = CliFailure{ExitWriteFailed, failedPath + ": " + WithOptionHint(error)};
        return failure.status;
    }
    summary.output = options.output;
    summary.outputDepth = written.depth;
    summary.metadataNotWritten = written.notWritten;
    summary.lossyOutput = FreeImage_GetFIFFromFilename(options.output.c_str()) == FIF_JPEG &&
                          prepared->inputFormat != FIF_JPEG;
    summary.savedMask = options.saveMask;
    if (!options.quiet) {
        PrintSummary(out, summary);
    } else {
        // Quiet, the run still says what it left undone.
        if (options.method == FillMethod::Patches)
            PrintGuides(err, summary);
        PrintLosses(err, summary);
    }
    return ExitDone;
}
