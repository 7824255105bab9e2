// SPDX-License-Identifier: MIT
// The ring trial that picks a fill: it measures each fill against the
// picture that was there, and a stopped trial leaves the offset fill.
#include "structure/method_choice.h"
#include "test_bitmaps.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

struct FlatScene {
    Bitmap image = MakeBitmap(200, 160, 24);
    Bitmap mask = MakeBitmap(200, 160, 8);

    FlatScene()
    {
        FillBitmap(image.get(), {100, 100, 100, 0});
        FillCodes(mask.get(), 0, 199, 0, 159, MaskSource);
        FillCodes(mask.get(), 80, 120, 60, 100, MaskHole);
    }
    InpaintJob Job() const { return MakeJob(image.get(), mask.get(), 0, 199, 0, 159, 16, 8, false); }
};

// Paints every hole of the trial black.
InpaintOutcome BlackFill(const InpaintJob& trial)
{
    for (int y = 0; y < trial.imageHeight; ++y)
        for (int x = 0; x < trial.imageWidth; ++x)
            if (CodeAt(trial.maskImage, x, y) == MaskHole) {
                SetPixelAt(trial.targetImage, x, y, {0, 0, 0, 0});
                SetCode(trial.maskImage, x, y, MaskSource);
            }
    return InpaintOutcome::Filled;
}

} // namespace

TEST(MethodChoice, MeasuresEachFillOfTheRingAgainstThePictureThatWasThere)
{
    const FlatScene scene;
    const InpaintJob job = scene.Job();
    const FillGrid around = ReadGrid(job, 3, 0, 199, 0, 159);
    const RingErrors errors = TryBothFills(job, around, BlackFill);
    ASSERT_GT(errors.ringPixels, 0);
    // The engine puts the flat grey back; black misses by 100 in each channel.
    EXPECT_EQ(errors.patches, 0);
    EXPECT_EQ(errors.offsets, 300 * errors.ringPixels);
    EXPECT_TRUE(PatchesFitBetter(errors));
    // The job's own picture and hole are left for the real fill.
    EXPECT_EQ(CodeAt(scene.mask.get(), 100, 80), MaskHole);
}

TEST(MethodChoice, AStoppedTrialKeepsTheOffsetFill)
{
    const FlatScene scene;
    InpaintJob job = scene.Job();
    const std::atomic<bool> stop{true};
    job.progress.stop = &stop;
    const RingErrors errors = TryBothFills(job, ReadGrid(job, 3, 0, 199, 0, 159), BlackFill);
    EXPECT_EQ(errors.ringPixels, 0);
    EXPECT_FALSE(PatchesFitBetter(errors));
}

TEST(MethodChoice, KeepsTheEngineWhereItMissesTheRingByOnlyAFewLevels)
{
    // 1,000 ring pixels of three channels: the engine misses each by 5 levels
    // on average, the offset fill by 2, as on a smooth horizon.
    RingErrors smooth{15000, 6000, 1000, 3};
    EXPECT_TRUE(PatchesFitBetter(smooth));
    // Missing by 12 levels the engine is kept only where it comes closer.
    RingErrors rough{36000, 30000, 1000, 3};
    EXPECT_FALSE(PatchesFitBetter(rough));
    rough.patches = 29999;
    EXPECT_TRUE(PatchesFitBetter(rough));
}
