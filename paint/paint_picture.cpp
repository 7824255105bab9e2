// SPDX-License-Identifier: MIT
#include "paint/paint_picture.h"

#include "engine/fill_record.h"
#include "mask/filled_pixels.h"
#include "paint/full_depth_replay.h"
#include "picture/full_depth.h"

#include <new>

InpaintOutcome PaintPicture(InpaintJob job, FillMethod method, FIBITMAP* fullDepth, const GuideMap* guides)
{
    if (fullDepth == nullptr)
        return RunFill(method, job, nullptr, guides);
    std::vector<uint8_t> filled = HolePixels(job.maskImage);
    FillRecord record;
    std::vector<CopiedPixel> copied;
    // The structure method hands the job to the patch engine when that suits
    // the hole better; the record then holds the engine's fill.
    job.record = &record;
    const InpaintOutcome outcome =
        RunFill(method, job, method == FillMethod::Structure ? &copied : nullptr, guides);
    if (outcome != InpaintOutcome::Filled)
        return outcome;
    KeepFilledPixels(filled, job.maskImage);
    const bool engineFilled = method == FillMethod::Patches || record.windowWidth > 0 || !record.pastes.empty() ||
                              !record.averaged.empty();
    try {
        if (engineFilled)
            ReplayAtFullDepth(record, fullDepth, job.targetImage, job.maskImage, filled);
        else
            ComposeFullDepth(fullDepth, job.targetImage, filled, PixelCopiesOf(copied));
    } catch (const std::bad_alloc&) {
        // Neither writes before it has its room; without it the filled
        // pixels are widened from their 8 bits.
        ComposeFullDepth(fullDepth, job.targetImage, filled);
    }
    return outcome;
}
