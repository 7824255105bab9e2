// SPDX-License-Identifier: MIT
// The fast engine against the plain one, on many random jobs: pictures and
// masks must agree to the byte, on one thread and on several.
#include "engine/inpaint_job.h"
#include "engine/whole_region_fill.h"
#include "kernels/parallel_for.h"
#include "engine/plain/plain_engine.h"
#include "test_bitmaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace {

struct RandomJob {
    Bitmap image;
    Bitmap mask;
    InpaintJob job;
};

// A textured picture with a few random blobs and strokes of hole, some
// excluded and outline pixels, at random places (the borders included).
RandomJob MakeRandomJob(uint32_t seed)
{
    std::mt19937 random(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const int width = pick(8, 64);
    const int height = pick(8, 64);
    const int layout = pick(0, 3);
    RandomJob result;
    result.image = layout == 3 ? MakeCmykBitmap(width, height) : MakeBitmap(width, height, layout == 0 ? 8 : layout * 8 + 16);
    result.mask = MakeBitmap(width, height, 8);
    PaintTexture(result.image.get(), seed);
    FillCodes(result.mask.get(), 0, width - 1, 0, height - 1, MaskSource);

    int minX = width, maxX = -1, minY = height, maxY = -1;
    auto mark = [&](int x0, int x1, int y0, int y1, int code) {
        x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, width - 1), y1 = std::min(y1, height - 1);
        if (x0 > x1 || y0 > y1)
            return;
        FillCodes(result.mask.get(), x0, x1, y0, y1, code);
        if (code == MaskHole)
            minX = std::min(minX, x0), maxX = std::max(maxX, x1), minY = std::min(minY, y0), maxY = std::max(maxY, y1);
    };
    for (int n = pick(0, 3); n > 0; --n) {
        const int x = pick(-4, width), y = pick(-4, height);
        mark(x, x + pick(0, 12), y, y + pick(0, 12), pick(0, 1) ? MaskExcluded : MaskOutline);
    }
    for (int n = pick(1, 4); n > 0; --n) {
        const int x = pick(-3, width), y = pick(-3, height);
        if (pick(0, 1))
            mark(x, x + pick(0, 14), y, y + pick(0, 14), MaskHole);
        else
            for (int i = 0, length = pick(3, 30); i < length; ++i)
                mark(x + i, x + i, y + i / 2, y + i / 2, MaskHole);
    }
    const int patchSizes[] = {3, 4, 7, 9, 15, 32, 47, 48, 64, 80, 112, 128};
    const int patchSize = patchSizes[pick(0, 11)];
    const int margin = pick(0, 6);
    result.job = MakeJob(result.image.get(), result.mask.get(), minX - margin, maxX + margin, minY - margin,
                         maxY + margin, patchSize, pick(0, 1) ? patchSize / 2 : pick(-2, 20), pick(0, 1) == 1);
    return result;
}

void ExpectSameResult(uint32_t seed, int threads)
{
    RandomJob plainJob = MakeRandomJob(seed);
    RandomJob fast = MakeRandomJob(seed);
    plain::InpaintRegion(plainJob.job);
    {
        WorkerThreadLimit limit(threads);
        InpaintRegion(fast.job);
    }
    const bool sameImage = SameBytes(fast.image.get(), plainJob.image.get());
    const bool sameMask = SameBytes(fast.mask.get(), plainJob.mask.get());
    if (!sameImage || !sameMask) {
        SaveForInspection(fast.image.get(), "fast_" + std::to_string(seed));
        SaveForInspection(plainJob.image.get(), "plain_" + std::to_string(seed));
    }
    EXPECT_TRUE(sameImage) << "seed " << seed << ", threads " << threads;
    EXPECT_TRUE(sameMask) << "seed " << seed << ", threads " << threads;
}

// Neighbour averaging alone, on a picture strewn with every code, over a box
// that need not hold all the holes: the waves may leave it.
void ExpectSameAveraging(uint32_t seed)
{
    std::mt19937 random(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const int width = pick(1, 40);
    const int height = pick(1, 40);
    const int layout = pick(0, 2);
    const int bitsPerPixel = layout == 0 ? 8 : layout * 8 + 16;
    Bitmap images[2] = {MakeBitmap(width, height, bitsPerPixel), MakeBitmap(width, height, bitsPerPixel)};
    Bitmap masks[2] = {MakeBitmap(width, height, 8), MakeBitmap(width, height, 8)};
    const int codes[] = {MaskExcluded, MaskHole, MaskHole, MaskHole, MaskOutline, MaskFilled, 220, MaskSource};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int code = codes[pick(0, 7)];
            SetCode(masks[0].get(), x, y, code);
            SetCode(masks[1].get(), x, y, code);
        }
    }
    for (Bitmap& image : images)
        PaintTexture(image.get(), seed);
    const int minX = pick(-2, width), maxX = pick(minX - 1, width + 2);
    const int minY = pick(-2, height), maxY = pick(minY - 1, height + 2);
    plain::FillWholeRegion({images[0].get(), masks[0].get(), width, height, bitsPerPixel / 8}, minX, maxX, minY, maxY);
    FillWholeRegion({images[1].get(), masks[1].get(), width, height, bitsPerPixel / 8}, minX, maxX, minY, maxY);
    EXPECT_TRUE(SameBytes(images[1].get(), images[0].get())) << "seed " << seed;
    EXPECT_TRUE(SameBytes(masks[1].get(), masks[0].get())) << "seed " << seed;
}

} // namespace

TEST(FastEngine, AveragesAsThePlainEngine)
{
    for (uint32_t seed = 1; seed <= 300; ++seed)
        ExpectSameAveraging(seed);
}

// With the smallest patch every pass fills one ring of a square hole, so a
// hole 210 pixels across needs more passes than the limit allows and ends
// with the averaging of what is left.
TEST(FastEngine, StopsAtThePassLimitAsThePlainEngine)
{
    constexpr int Side = 230;
    RandomJob jobs[2];
    for (RandomJob& job : jobs) {
        job.image = MakeBitmap(Side, Side, 8);
        job.mask = MakeBitmap(Side, Side, 8);
        PaintTexture(job.image.get(), 5);
        FillCodes(job.mask.get(), 0, Side - 1, 0, Side - 1, MaskSource);
        FillCodes(job.mask.get(), 10, 219, 10, 219, MaskHole);
        job.job = MakeJob(job.image.get(), job.mask.get(), 9, 220, 9, 220, 3, 1, false);
    }
    plain::InpaintRegion(jobs[0].job);
    InpaintRegion(jobs[1].job);
    EXPECT_TRUE(SameBytes(jobs[1].image.get(), jobs[0].image.get()));
    EXPECT_TRUE(SameBytes(jobs[1].mask.get(), jobs[0].mask.get()));
}

TEST(FastEngine, GivesThePlainEnginesBytesOnOneThread)
{
    for (uint32_t seed = 1; seed <= 40; ++seed)
        ExpectSameResult(seed, 1);
}

TEST(FastEngine, GivesThePlainEnginesBytesOnSeveralThreads)
{
    for (uint32_t seed = 41; seed <= 80; ++seed)
        ExpectSameResult(seed, 4);
}
