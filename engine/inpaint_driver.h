// SPDX-License-Identifier: MIT
// The inpainting driver, one for both engines: it classifies the scan
// rectangle, then fills the hole either by neighbour averaging alone or pass
// by pass with exemplar patches, falling back to averaging for what the
// passes cannot reach. The steps that have a fast and a plain form come from
// Steps (FastSteps in inpaint_region.cpp, PlainSteps in plain/); everything
// else is the same code for both.
#pragma once

#include "engine/exemplar_search.h"
#include "engine/fill_choice.h"
#include "engine/fill_front.h"
#include "engine/fill_record.h"
#include "engine/initial_front_index.h"
#include "engine/inpaint_job.h"
#include "engine/job_progress.h"
#include "engine/job_scratch.h"
#include "engine/patch_paste.h"
#include "engine/scan_rectangle.h"
#include "engine/size_adaptation.h"
#include "engine/work_window.h"

#include <cstddef>
#include <memory>
#include <optional>

// The driver's parts that are the same whatever the steps.
namespace driver {

constexpr int MaxPasses = 100;

// The bitmaps a job can work on: an 8-bit mask and a source and target of
// one plain layout, all of the job's size; 0 bytes per pixel when they are
// anything else, and the job then changes nothing.
int UsableBytesPerPixel(const InpaintJob& job);

// Outside the image every code reads as excluded, so the scan rectangle can
// be cut to the image without changing what any step sees.
void ClipToImage(InpaintJob& job);

// Sizes the window around the hole box (image coordinates) and allocates its
// buffers; false when the window is too large to build or to hold.
bool BuildWorkWindow(const HoleBox& box, int P, int G, const InpaintJob& job, int bytesPerPixel, WorkWindow& window);

WindowView ViewOf(WorkWindow& window, int bytesPerPixel);

HoleBox Shifted(const HoleBox& box, int dx, int dy);

// The box around the hole codes left inside box.
HoleBox HolesLeft(const WindowView& window, const HoleBox& box);

// Notes the window's place and codes as the passes begin.
void RecordWindow(const WorkWindow& window, bool smoothSeam, FillRecord& record);

enum class PassOutcome { Finished, Fallback, Cancelled };

} // namespace driver

// Runs passes over the window until no hole is left, a pass fills nothing,
// the pass limit is reached or the caller asks to stop. box is the hole box
// in window coordinates; record, when given, receives every paste.
template <typename Steps>
driver::PassOutcome RunPasses(const WindowView& window, HoleBox& box, int P, int G, int colourType, bool smoothSeam,
                              JobScratch& scratch, JobProgress& progress, FillRecord* record)
{
    using driver::PassOutcome;
    bool firstPass = true;
    int passCount = 0;
    std::optional<typename Steps::CentreIndex> centres;

    for (;;) {
        Steps::BuildFront(window, box.minX, box.maxX, box.minY, box.maxY, colourType, firstPass, scratch);
        // The first front is complete now, and the later passes search around it.
        if (firstPass)
            centres.emplace(InitialFront);
        const std::size_t frontSize = FillFront.size();
        std::size_t failedFills = 0;
        bool firstChoice = true;
        double ref = 0.0;

        typename Steps::FrontQueue queue;
        queue.Start();
        GrowPoint point;
        while (queue.Next(window.maskBuffer, window.width, point)) {
            if (progress.StopRequested())
                return PassOutcome::Cancelled;
            int adaptedP = P;
            int adaptedG = G;
            if (firstChoice) {
                ref = point.priority;
                firstChoice = false;
            } else {
                AdaptSizes(P, G, point.priority, ref, adaptedP, adaptedG);
            }
            const int searchStep = SearchStepFor(adaptedP);

            const int targetKnownCount = Steps::LoadTarget(window, point.x, point.y, adaptedP, searchStep, scratch);
            const WindowPoint centre = SearchCentre(point.x, point.y, firstPass, *centres);
            const bool found = Steps::SearchExemplar(window, centre.x, centre.y, adaptedP, adaptedG, targetKnownCount,
                                                     searchStep, scratch);
            if (found && record != nullptr)
                record->pastes.push_back({point.x, point.y, adaptedP, BestMatch.x, BestMatch.y});
            const int filled = found ? PastePatch(window, point.x, point.y, adaptedP, smoothSeam, searchStep) : 0;
            if (filled == 0)
                ++failedFills;
            progress.Add(filled);
        }
        // Every point left the front once, dropped or tried: the pass filled
        // nothing exactly when every one of them counts as a failure.
        const std::size_t failures = queue.Removed() + failedFills;
        FillFront.clear();

        ++passCount;
        firstPass = false;
        if (passCount > driver::MaxPasses)
            return PassOutcome::Fallback;
        if (failures == frontSize)
            return PassOutcome::Fallback;

        const HoleBox remaining = driver::HolesLeft(window, box);
        if (remaining.Empty())
            return PassOutcome::Finished;
        box = remaining;
    }
}

// InpaintRegion with the given steps.
template <typename Steps>
InpaintOutcome InpaintWith(InpaintJob job)
{
    FillFront.clear();
    InitialFront.clear();
    const int bytesPerPixel = driver::UsableBytesPerPixel(job);
    if (bytesPerPixel == 0)
        return InpaintOutcome::Filled;
    const int colourType = static_cast<int>(FreeImage_GetColorType(job.sourceImage));
    driver::ClipToImage(job);
    const PictureView picture{job.targetImage, job.maskImage, job.imageWidth, job.imageHeight, bytesPerPixel,
                              job.record};
    const auto promoteScanRectangle = [&] {
        Steps::PromoteFilledCodes(job.scanMinX, job.scanMaxX, job.scanMinY, job.scanMaxY, job.maskImage);
    };
    const auto fillByAveraging = [&](const HoleBox& box) {
        Steps::FillWholeRegion(picture, box.minX, box.maxX, box.minY, box.maxY);
    };

    const ScanCounts counts = Steps::CountScanRectangle(job);
    JobProgress progress(job.progress, counts.holeCount);
    const auto finish = [&] {
        promoteScanRectangle();
        progress.Finish();
        return InpaintOutcome::Filled;
    };
    Steps::CopySourcePixels(job, bytesPerPixel);
    const HoleBox& imageBox = counts.holeBox;
    const bool wholeRegion = ChoosesWholeRegionFill(counts.holeCount, counts.knownCount);
    if (counts.holeCount > 0 && wholeRegion)
        fillByAveraging(imageBox);
    if (counts.holeCount == 0 || wholeRegion)
        return finish();

    const int P = ClampPatchSize(job.patchSize);
    const int G = ClampSearchGap(job.searchGap);
    WorkWindow window;
    const std::unique_ptr<JobScratch> scratch(new (std::nothrow) JobScratch);
    if (!scratch || !driver::BuildWorkWindow(imageBox, P, G, job, bytesPerPixel, window)) {
        // No room for the patch work: averaging alone still fills the hole.
        fillByAveraging(imageBox);
        return finish();
    }
    Steps::PrepareWindow(window, picture);
    if (job.record != nullptr)
        driver::RecordWindow(window, job.smoothSeam != 0, *job.record);

    HoleBox box = driver::Shifted(imageBox, -window.originX, -window.originY);
    const driver::PassOutcome outcome = RunPasses<Steps>(driver::ViewOf(window, bytesPerPixel), box, P, G, colourType,
                                                         job.smoothSeam != 0, *scratch, progress, job.record);

    FillFront.clear();
    InitialFront.clear();
    // The window is dropped unwritten, so the picture and mask keep their state.
    if (outcome == driver::PassOutcome::Cancelled)
        return InpaintOutcome::Cancelled;
    Steps::WriteBackWindow(window, picture);
    window.maskBuffer = {};
    window.colourBuffer = {};
    if (outcome == driver::PassOutcome::Fallback)
        fillByAveraging(driver::Shifted(box, window.originX, window.originY));
    return finish();
}
