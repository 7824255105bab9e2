// SPDX-License-Identifier: MIT
// The driver as first written: classifies the scan rectangle, then fills the hole
// either by neighbour averaging alone or pass by pass with exemplar patches,
// falling back to averaging for what the passes cannot reach.
#include "reference/literal_engine.h"

#include "engine/exemplar_search.h"
#include "engine/fill_choice.h"
#include "engine/fill_front.h"
#include "engine/inpaint_job.h"
#include "engine/size_adaptation.h"
#include "engine/whole_region_fill.h"
#include "engine/work_window.h"
#include "engine/patch_paste.h"
#include "kernels/pixel_access.h"
#include "engine/prepare_window.h"
#include "engine/write_back.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>
#include <stdexcept>

namespace reference {

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
Classification Classify(const InpaintJob& job, int bytesPerPixel)
{
    Classification result;
    for (int x = job.scanMinX; x <= job.scanMaxX; ++x) {
        for (int y = job.scanMinY; y <= job.scanMaxY; ++y) {
            const int code = ReadMaskValue(job.maskImage, x, y);
            if (code == MaskSource) {
                int channels[4] = {0, 0, 0, 0};
                ReadPixel(job.sourceImage, x, y, channels, bytesPerPixel);
                WritePixel(job.targetImage, x, y, channels, bytesPerPixel);
                ++result.knownCount;
            } else if (code == MaskHole) {
                ++result.holeCount;
                result.holeBox.Include(x, y);
            }
        }
    }
    return result;
}

void PromoteScanRectangle(const InpaintJob& job)
{
    reference::PromoteFilledCodes(job.scanMinX, job.scanMaxX, job.scanMinY, job.scanMaxY, job.maskImage);
}

void FillBoxByAveraging(const InpaintJob& job, const HoleBox& box, int bytesPerPixel)
{
    reference::FillWholeRegion(box.minX, box.maxX, box.minY, box.maxY, job.imageWidth, job.imageHeight, bytesPerPixel,
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

    for (;;) {
        BuildFront(box.minX, box.maxX, box.minY, box.maxY, colourBuffer, maskBuffer, width, bytesPerPixel,
                   colourType, firstPass);
        const std::size_t frontSize = FillFront.size();
        std::size_t failures = 0;
        bool firstChoice = true;
        double ref = 0.0;

        while (!FillFront.empty()) {
            const FrontSelection selection = reference::SelectNext(maskBuffer, width);
            failures += static_cast<std::size_t>(selection.removed);
            if (FillFront.empty())
                break;
            const GrowPoint point = FillFront[static_cast<std::size_t>(selection.index)];

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
            const WindowPoint centre = reference::SearchCentre(point.x, point.y, firstPass);
            const bool found = reference::SearchExemplar(centre.x, centre.y, adaptedP, adaptedG, targetKnownCount,
                                              colourBuffer, maskBuffer, bytesPerPixel, width, searchStep);
            const bool filled = found && PastePatch(point.x, point.y, adaptedP, colourBuffer, maskBuffer,
                                                    bytesPerPixel, width, window.height, smoothSeam, searchStep);
            if (!filled)
                ++failures;
            FillFront.erase(FillFront.begin() + selection.index);
        }

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
        window.maskBuffer.resize(pixels);
        window.colourBuffer.resize(pixels * static_cast<std::size_t>(bytesPerPixel));
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    window.maskBuffer = {};
    window.colourBuffer = {};
    return false;
}

// The window normally exceeds the picture by a thin margin; only an absurd
// search gap makes it larger than a few pictures, and such a window is not
// built: its sides might not even fit an int.
bool WindowFits(const HoleBox& box, int P, int G, int imageWidth, int imageHeight)
{
    const long long margin = static_cast<long long>(P) / 2 + P + static_cast<long long>(G) + 3;
    const long long width = static_cast<long long>(box.maxX) - box.minX + 2 * margin;
    const long long height = static_cast<long long>(box.maxY) - box.minY + 2 * margin;
    const long long picture = std::min(static_cast<long long>(imageWidth) * imageHeight, 1LL << 40);
    const long long budget = 4 * picture + (1LL << 24);
    return width <= budget && height <= budget && width <= budget / height;
}

// Sizes the window around the hole box and allocates its buffers.
bool BuildWorkWindow(const HoleBox& box, int P, int G, const InpaintJob& job, int bytesPerPixel, WorkWindow& window)
{
    if (!WindowFits(box, P, G, job.imageWidth, job.imageHeight))
        return false;
    window = MakeWorkWindow(box.minX, box.maxX, box.minY, box.maxY, P, G);
    return AllocateBuffers(window, bytesPerPixel);
}

} // namespace

void InpaintRegion(InpaintJob job)
{
    FillFront.clear();
    InitialFront.clear();
    if (job.sourceImage == nullptr || job.targetImage == nullptr || job.maskImage == nullptr)
        return;
    const int bytesPerPixel = BytesPerPixelOf(job.sourceImage);
    if (bytesPerPixel == 0)
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
    reference::PrepareWindow(window, job.imageWidth, job.imageHeight, job.maskImage, job.targetImage, bytesPerPixel);

    HoleBox box = imageBox;
    box.minX -= window.originX;
    box.maxX -= window.originX;
    box.minY -= window.originY;
    box.maxY -= window.originY;
    const PassOutcome outcome = RunPasses(window, box, P, G, bytesPerPixel, colourType, job.smoothSeam != 0);

    FillFront.clear();
    InitialFront.clear();
    reference::WriteBackWindow(window, job.targetImage, job.maskImage, bytesPerPixel, job.imageWidth, job.imageHeight);
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

} // namespace reference
