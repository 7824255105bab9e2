// SPDX-License-Identifier: MIT
// The inpainting driver: classifies the scan rectangle, then fills the hole
// either by neighbour averaging alone or pass by pass with exemplar patches,
// falling back to averaging for what the passes cannot reach.
#include "engine/exemplar_search.h"
#include "engine/fill_choice.h"
#include "engine/fill_front.h"
#include "engine/front_queue.h"
#include "engine/initial_front_index.h"
#include "engine/inpaint_job.h"
#include "engine/size_adaptation.h"
#include "engine/whole_region_fill.h"
#include "engine/work_window.h"
#include "kernels/bitmap_rows.h"
#include "engine/patch_paste.h"
#include "kernels/pixel_access.h"
#include "engine/prepare_window.h"
#include "engine/write_back.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <stdexcept>

namespace {

constexpr int MaxPasses = 100;

struct HoleBox {
    int minX = std::numeric_limits<int>::max();
    int maxX = std::numeric_limits<int>::min();
    int minY = std::numeric_limits<int>::max();
    int maxY = std::numeric_limits<int>::min();

    void Include(int x, int y)
    {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    bool Empty() const { return minX > maxX; }
};

struct Classification {
    long long holeCount = 0;
    long long knownCount = 0;
    HoleBox holeBox;
};

// Outside the image every code reads as excluded, so the scan rectangle can
// be cut to the image without changing what any step sees.
void ClipToImage(InpaintJob& job)
{
    job.scanMinX = std::max(job.scanMinX, 0);
    job.scanMinY = std::max(job.scanMinY, 0);
    job.scanMaxX = std::min(job.scanMaxX, job.imageWidth - 1);
    job.scanMaxY = std::min(job.scanMaxY, job.imageHeight - 1);
}

// Copies the Source pixels into the target and counts hole and Source pixels.
// The visiting order does not matter: every pixel is handled on its own.
Classification Classify(const InpaintJob& job, int bytesPerPixel)
{
    Classification result;
    const BitmapRows maskRows = RowsOf(job.maskImage);
    const BitmapRows sourceRows = RowsOf(job.sourceImage);
    const BitmapRows targetRows = RowsOf(job.targetImage);
    const bool copySource = job.sourceImage != job.targetImage;
    for (int y = job.scanMinY; y <= job.scanMaxY; ++y) {
        const uint8_t* codes = maskRows.Row(y);
        for (int x = job.scanMinX; x <= job.scanMaxX; ++x) {
            if (codes[x] == MaskSource) {
                if (copySource)
                    std::memcpy(targetRows.Row(y) + static_cast<std::size_t>(x) * bytesPerPixel,
                                sourceRows.Row(y) + static_cast<std::size_t>(x) * bytesPerPixel,
                                static_cast<std::size_t>(bytesPerPixel));
                ++result.knownCount;
            } else if (codes[x] == MaskHole) {
                ++result.holeCount;
                result.holeBox.Include(x, y);
            }
        }
    }
    return result;
}

// The bitmaps a job can work on: an 8-bit mask and a source and target of
// one plain layout, all of the job's size. Anything else breaks the job's
// contract, and the job then changes nothing.
bool BitmapsFitTheJob(const InpaintJob& job, int bytesPerPixel)
{
    auto fits = [&](FIBITMAP* bitmap, int bytes) {
        return HasPlainLayout(bitmap, bytes) && static_cast<int>(FreeImage_GetWidth(bitmap)) == job.imageWidth &&
               static_cast<int>(FreeImage_GetHeight(bitmap)) == job.imageHeight;
    };
    return fits(job.maskImage, 1) && fits(job.sourceImage, bytesPerPixel) && fits(job.targetImage, bytesPerPixel);
}

void PromoteScanRectangle(const InpaintJob& job)
{
    PromoteFilledCodes(job.scanMinX, job.scanMaxX, job.scanMinY, job.scanMaxY, job.maskImage);
}

void FillBoxByAveraging(const InpaintJob& job, const HoleBox& box, int bytesPerPixel)
{
    FillWholeRegion(box.minX, box.maxX, box.minY, box.maxY, job.imageWidth, job.imageHeight, bytesPerPixel,
                    job.targetImage, job.maskImage);
}

enum class PassOutcome { Finished, Fallback };

// Runs passes over the window until no hole is left, a pass fills nothing
// or the pass limit is reached. box is the hole box in window coordinates.
PassOutcome RunPasses(WorkWindow& window, HoleBox& box, int P, int G, int bytesPerPixel, int colourType,
                      bool smoothSeam)
{
    uint8_t* const maskBuffer = window.maskBuffer.data();
    uint8_t* const colourBuffer = window.colourBuffer.data();
    const int width = window.width;
    bool firstPass = true;
    int passCount = 0;
    std::optional<InitialFrontIndex> centres;

    for (;;) {
        BuildFront(box.minX, box.maxX, box.minY, box.maxY, colourBuffer, maskBuffer, width, bytesPerPixel,
                   colourType, firstPass);
        // The first front is complete now, and the later passes search around it.
        if (firstPass)
            centres.emplace(InitialFront);
        const std::size_t frontSize = FillFront.size();
        std::size_t failedFills = 0;
        bool firstChoice = true;
        double ref = 0.0;

        FrontQueue queue;
        queue.Start();
        GrowPoint point;
        while (queue.Next(maskBuffer, width, point)) {
            int adaptedP = P;
            int adaptedG = G;
            if (firstChoice) {
                ref = point.priority;
                firstChoice = false;
            } else {
                AdaptSizes(P, G, point.priority, ref, adaptedP, adaptedG);
            }
            const int searchStep = SearchStepFor(adaptedP);

            const int targetKnownCount = LoadTarget(point.x, point.y, adaptedP, colourBuffer, maskBuffer,
                                                    bytesPerPixel, width, searchStep);
            const WindowPoint centre = SearchCentre(point.x, point.y, firstPass, *centres);
            const bool found = SearchExemplar(centre.x, centre.y, adaptedP, adaptedG, targetKnownCount,
                                              colourBuffer, maskBuffer, bytesPerPixel, width, searchStep);
            const bool filled = found && PastePatch(point.x, point.y, adaptedP, colourBuffer, maskBuffer,
                                                    bytesPerPixel, width, window.height, smoothSeam, searchStep);
            if (!filled)
                ++failedFills;
        }
        // Every point left the front once, dropped or tried: the pass filled
        // nothing exactly when every one of them counts as a failure.
        const std::size_t failures = queue.Removed() + failedFills;
        FillFront.clear();

        ++passCount;
        firstPass = false;
        if (passCount > MaxPasses)
            return PassOutcome::Fallback;
        if (failures == frontSize)
            return PassOutcome::Fallback;

        HoleBox remaining;
        for (int y = box.minY; y <= box.maxY; ++y)
            for (int x = box.minX; x <= box.maxX; ++x)
                if (maskBuffer[static_cast<std::size_t>(y) * width + x] == MaskHole)
                    remaining.Include(x, y);
        if (remaining.Empty())
            return PassOutcome::Finished;
        box = remaining;
    }
}

// Allocates the window's buffers; false when the window is too large to hold.
bool AllocateBuffers(WorkWindow& window, int bytesPerPixel)
{
    try {
        const std::size_t pixels = static_cast<std::size_t>(window.width) * static_cast<std::size_t>(window.height);
        window.maskBuffer.resize(pixels + SearchReadPadding);
        window.colourBuffer.resize(pixels * static_cast<std::size_t>(bytesPerPixel) + SearchReadPadding);
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    window.maskBuffer = {};
    window.colourBuffer = {};
    return false;
}

// Sizes the window around the hole box and allocates its buffers.
bool BuildWorkWindow(const HoleBox& box, int P, int G, const InpaintJob& job, int bytesPerPixel, WorkWindow& window)
{
    if (!WindowFitsPicture(box.minX, box.maxX, box.minY, box.maxY, P, G, job.imageWidth, job.imageHeight))
        return false;
    window = MakeWorkWindow(box.minX, box.maxX, box.minY, box.maxY, P, G);
    return AllocateBuffers(window, bytesPerPixel);
}

} // namespace

void InpaintRegion(InpaintJob job)
{
    FillFront.clear();
    InitialFront.clear();
    const int bytesPerPixel = job.sourceImage ? BytesPerPixelOf(job.sourceImage) : 0;
    if (bytesPerPixel == 0 || !BitmapsFitTheJob(job, bytesPerPixel))
        return;
    const int colourType = static_cast<int>(FreeImage_GetColorType(job.sourceImage));
    ClipToImage(job);

    const Classification classes = Classify(job, bytesPerPixel);
    const HoleBox& imageBox = classes.holeBox;
    const bool wholeRegion = ChoosesWholeRegionFill(classes.holeCount, classes.knownCount);
    if (classes.holeCount > 0 && wholeRegion)
        FillBoxByAveraging(job, imageBox, bytesPerPixel);
    if (classes.holeCount == 0 || wholeRegion) {
        PromoteScanRectangle(job);
        return;
    }

    const int P = ClampPatchSize(job.patchSize);
    const int G = ClampSearchGap(job.searchGap);
    WorkWindow window;
    if (!BuildWorkWindow(imageBox, P, G, job, bytesPerPixel, window)) {
        // No room for the patch work: averaging alone still fills the hole.
        FillBoxByAveraging(job, imageBox, bytesPerPixel);
        PromoteScanRectangle(job);
        return;
    }
    PrepareWindow(window, job.imageWidth, job.imageHeight, job.maskImage, job.targetImage, bytesPerPixel);

    HoleBox box = imageBox;
    box.minX -= window.originX;
    box.maxX -= window.originX;
    box.minY -= window.originY;
    box.maxY -= window.originY;
    const PassOutcome outcome = RunPasses(window, box, P, G, bytesPerPixel, colourType, job.smoothSeam != 0);

    FillFront.clear();
    InitialFront.clear();
    WriteBackWindow(window, job.targetImage, job.maskImage, bytesPerPixel, job.imageWidth, job.imageHeight);
    window.maskBuffer = {};
    window.colourBuffer = {};
    if (outcome == PassOutcome::Fallback) {
        HoleBox imageHoles = box;
        imageHoles.minX += window.originX;
        imageHoles.maxX += window.originX;
        imageHoles.minY += window.originY;
        imageHoles.maxY += window.originY;
        FillBoxByAveraging(job, imageHoles, bytesPerPixel);
    }
    PromoteScanRectangle(job);
}
