// SPDX-License-Identifier: MIT
// The structure fill: the same bytes on any number of threads, every layout
// filled with the rest untouched, edges carried through, sources only where
// allowed, and a stop that leaves the job as it was.
#include "kernels/parallel_for.h"
#include "structure/structure_fill.h"
#include "test_bitmaps.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>

namespace {

struct Scene {
    Bitmap image;
    Bitmap mask;
    Bitmap original;
};

// A textured picture with a hole of two overlapping blocks and a thin stroke,
// large enough for the reduced grid to be used.
Scene HoleInTexture(Bitmap image, uint32_t seed)
{
    const int w = static_cast<int>(FreeImage_GetWidth(image.get()));
    const int h = static_cast<int>(FreeImage_GetHeight(image.get()));
    PaintTexture(image.get(), seed);
    Scene scene{std::move(image), MakeBitmap(w, h, 8), nullptr};
    scene.original = CloneBitmap(scene.image.get());
    FillCodes(scene.mask.get(), 0, w - 1, 0, h - 1, MaskSource);
    FillCodes(scene.mask.get(), w / 2 - 40, w / 2 + 10, h / 2 - 30, h / 2 + 25, MaskHole);
    FillCodes(scene.mask.get(), w / 2, w / 2 + 35, h / 2 - 10, h / 2 + 40, MaskHole);
    for (int i = 0; i < 30; ++i)
        SetCode(scene.mask.get(), w / 2 - 60 + i, h / 2 - 50 + i, MaskHole);
    return scene;
}

InpaintJob WholePictureJob(const Scene& scene)
{
    const int w = static_cast<int>(FreeImage_GetWidth(scene.image.get()));
    const int h = static_cast<int>(FreeImage_GetHeight(scene.image.get()));
    return MakeJob(scene.image.get(), scene.mask.get(), 0, w - 1, 0, h - 1, 16, 8, false);
}

TEST(StructureFill, GivesTheSameBytesOnOneThreadAndOnMany)
{
    auto run = [](int threads) {
        WorkerThreadLimit limit(threads);
        Scene scene = HoleInTexture(MakeBitmap(420, 300, 24), 7);
        std::vector<CopiedPixel> copied;
        EXPECT_EQ(StructureFill(WholePictureJob(scene), &copied), InpaintOutcome::Filled);
        uint64_t hash = HashBitmap(scene.image.get(), HashBitmap(scene.mask.get()));
        for (const CopiedPixel& pixel : copied)
            hash = hash * 1099511628211ull ^ static_cast<uint64_t>(pixel.fromX * 7919 + pixel.fromY);
        return hash;
    };
    const uint64_t one = run(1);
    EXPECT_EQ(run(2), one);
    EXPECT_EQ(run(8), one);
}

TEST(StructureFill, FillsEveryLayoutAndLeavesTheRestAsItWas)
{
    struct Layout {
        const char* name;
        Bitmap image;
    };
    Layout layouts[] = {{"grey", MakeBitmap(300, 240, 8)},
                        {"rgb", MakeBitmap(300, 240, 24)},
                        {"rgba", MakeBitmap(300, 240, 32)},
                        {"cmyk", MakeCmykBitmap(300, 240)}};
    for (Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        Scene scene = HoleInTexture(std::move(layout.image), 3);
        const Bitmap maskBefore = CloneBitmap(scene.mask.get());
        std::vector<CopiedPixel> copied;
        ASSERT_EQ(StructureFill(WholePictureJob(scene), &copied), InpaintOutcome::Filled);
        int holes = 0;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 300; ++x) {
                const bool hole = CodeAt(maskBefore.get(), x, y) == MaskHole;
                holes += hole ? 1 : 0;
                ASSERT_EQ(CodeAt(scene.mask.get(), x, y), MaskSource) << x << "," << y;
                if (!hole) {
                    ASSERT_EQ(PixelAt(scene.image.get(), x, y), PixelAt(scene.original.get(), x, y)) << x << "," << y;
                }
            }
        EXPECT_EQ(static_cast<int>(copied.size()), holes);
    }
}

// Two flat colours meet along a slanted line; the fill must carry it on.
TEST(StructureFill, CarriesAStraightEdgeThroughTheHole)
{
    const int w = 400;
    const int h = 300;
    Scene scene{MakeBitmap(w, h, 24), MakeBitmap(w, h, 8), nullptr};
    auto edgeRow = [](int x) { return 110 + x * 3 / 10; };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int grain = (x * 37 + y * 91) % 7;
            SetPixelAt(scene.image.get(), x, y,
                       y < edgeRow(x) ? Channels{40 + grain, 90, 150, 0} : Channels{200 + grain, 180, 120, 0});
        }
    FillCodes(scene.mask.get(), 0, w - 1, 0, h - 1, MaskSource);
    FillCodes(scene.mask.get(), 170, 240, 120, 210, MaskHole);
    ASSERT_EQ(StructureFill(WholePictureJob(scene)), InpaintOutcome::Filled);
    for (int x = 170; x <= 240; ++x) {
        int firstLight = -1;
        for (int y = 120; y <= 210 && firstLight < 0; ++y)
            if (PixelAt(scene.image.get(), x, y)[0] > 120)
                firstLight = y;
        EXPECT_NEAR(firstLight, edgeRow(x), 1) << "column " << x;
    }
}

// Inside an allowed area the picture is grey; outside it, red: the filled
// pixels must stay grey.
TEST(StructureFill, CopiesOnlyFromTheAllowedArea)
{
    const int w = 360;
    const int h = 280;
    Scene scene{MakeBitmap(w, h, 24), MakeBitmap(w, h, 8), nullptr};
    PaintTexture(scene.image.get(), 11);
    FillCodes(scene.mask.get(), 0, w - 1, 0, h - 1, MaskExcluded);
    FillCodes(scene.mask.get(), 60, 300, 50, 230, MaskSource);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int grey = PixelAt(scene.image.get(), x, y)[1];
            const bool allowed = CodeAt(scene.mask.get(), x, y) == MaskSource;
            SetPixelAt(scene.image.get(), x, y, allowed ? Channels{grey, grey, grey, 0} : Channels{0, 0, 255, 0});
        }
    FillCodes(scene.mask.get(), 150, 210, 110, 170, MaskHole);
    const Bitmap maskBefore = CloneBitmap(scene.mask.get());
    std::vector<CopiedPixel> copied;
    ASSERT_EQ(StructureFill(WholePictureJob(scene), &copied), InpaintOutcome::Filled);
    ASSERT_FALSE(copied.empty());
    for (const CopiedPixel& pixel : copied)
        ASSERT_EQ(CodeAt(maskBefore.get(), pixel.fromX, pixel.fromY), MaskSource) << pixel.fromX << "," << pixel.fromY;
    for (int y = 110; y <= 170; ++y)
        for (int x = 150; x <= 210; ++x) {
            const Channels pixel = PixelAt(scene.image.get(), x, y);
            ASSERT_TRUE(pixel[0] == pixel[1] && pixel[1] == pixel[2]) << x << "," << y;
        }
}

// Two textures meet along a bend; the user draws the bend across the hole.
// The guided fill keeps it within two pixels, on one thread or many.
TEST(StructureFill, FollowsAGuideAlongABend)
{
    const int w = 420;
    const int h = 320;
    auto borderRow = [](int x) { return 150 + (x - 210) * (x - 210) / 400; };
    auto run = [&](int threads, Bitmap& image) {
        WorkerThreadLimit limit(threads);
        Scene scene{MakeBitmap(w, h, 24), MakeBitmap(w, h, 8), nullptr};
        PaintTexture(scene.image.get(), 21);
        GuideMap guides(static_cast<std::size_t>(w) * h, 0);
        for (int x = 0; x < w; ++x) {
            for (int y = 0; y < h; ++y) {
                const Channels grain = PixelAt(scene.image.get(), x, y);
                SetPixelAt(scene.image.get(), x, y,
                           y < borderRow(x) ? Channels{grain[0] / 4, 90, 40, 0} : Channels{200, 170 + grain[1] / 8, 150, 0});
            }
            if (x >= 120 && x <= 300)
                guides[static_cast<std::size_t>(borderRow(x)) * w + x] = 1;
        }
        FillCodes(scene.mask.get(), 0, w - 1, 0, h - 1, MaskSource);
        FillCodes(scene.mask.get(), 170, 250, 120, 200, MaskHole);
        EXPECT_EQ(StructureFill(WholePictureJob(scene), nullptr, &guides), InpaintOutcome::Filled);
        image = std::move(scene.image);
    };
    Bitmap one;
    Bitmap two;
    run(1, one);
    run(2, two);
    EXPECT_TRUE(SameBytes(one.get(), two.get()));
    for (int x = 170; x <= 250; ++x) {
        int firstLight = -1;
        for (int y = 120; y <= 200 && firstLight < 0; ++y)
            if (PixelAt(one.get(), x, y)[0] > 120)
                firstLight = y;
        EXPECT_NEAR(firstLight, borderRow(x), 2) << "column " << x;
    }
}

TEST(StructureFill, StoppedJobLeavesTheHoleAndTheMask)
{
    Scene scene = HoleInTexture(MakeBitmap(300, 240, 24), 5);
    const Bitmap maskBefore = CloneBitmap(scene.mask.get());
    std::atomic<bool> stop{true};
    InpaintJob job = WholePictureJob(scene);
    job.progress.stop = &stop;
    EXPECT_EQ(StructureFill(job), InpaintOutcome::Cancelled);
    EXPECT_TRUE(SameBytes(scene.mask.get(), maskBefore.get()));
    EXPECT_TRUE(SameBytes(scene.image.get(), scene.original.get()));
}

// A hole with no known pixel anywhere near is averaged, never left open.
TEST(StructureFill, HoleWithoutSourcesIsAveraged)
{
    Scene scene{MakeBitmap(40, 30, 24), MakeBitmap(40, 30, 8), nullptr};
    FillBitmap(scene.image.get(), Channels{10, 20, 30, 0});
    FillCodes(scene.mask.get(), 0, 39, 0, 29, MaskHole);
    FillCodes(scene.mask.get(), 0, 0, 0, 0, MaskSource);
    ASSERT_EQ(StructureFill(WholePictureJob(scene)), InpaintOutcome::Filled);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(CodeAt(scene.mask.get(), x, y), MaskSource);
}

} // namespace
