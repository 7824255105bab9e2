// SPDX-License-Identifier: MIT
#include "engine/inpaint_job.h"
#include "engine/whole_region_fill.h"
#include "engine/write_back.h"
#include "test_bitmaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

Bitmap MakePicture(int width, int height, int bitsPerPixel, bool cmyk, uint32_t seed)
{
    Bitmap image = cmyk ? MakeCmykBitmap(width, height) : MakeBitmap(width, height, bitsPerPixel);
    PaintTexture(image.get(), seed);
    return image;
}

Bitmap SourceMask(int width, int height)
{
    Bitmap mask = MakeBitmap(width, height, 8);
    FillCodes(mask.get(), 0, width - 1, 0, height - 1, MaskSource);
    return mask;
}

// What the whole-region path alone makes of the job.
void FillByAveragingOnly(FIBITMAP* image, FIBITMAP* mask, int minX, int maxX, int minY, int maxY, int scanMinX,
                         int scanMaxX, int scanMinY, int scanMaxY)
{
    FillWholeRegion({image, mask, static_cast<int>(FreeImage_GetWidth(image)), static_cast<int>(FreeImage_GetHeight(image)),
                     BytesPerPixel(image)},
                    minX, maxX, minY, maxY);
    PromoteFilledCodes(scanMinX, scanMaxX, scanMinY, scanMaxY, mask);
}

struct PictureKind {
    const char* name;
    int bitsPerPixel;
    bool cmyk;
};

constexpr PictureKind Kinds[] = {{"grey", 8, false}, {"rgb", 24, false}, {"rgba", 32, false}, {"cmyk", 32, true}};

} // namespace

TEST(InpaintRegion, CmykTestPicturesHaveTheCmykColourType)
{
    const Bitmap image = MakeCmykBitmap(4, 4);
    EXPECT_EQ(FreeImage_GetColorType(image.get()), FIC_CMYK);
}

TEST(InpaintRegion, FullyPaintedRectangleIsFilledByAveragingAlone)
{
    Bitmap image = MakePicture(24, 24, 24, false, 3);
    Bitmap mask = SourceMask(24, 24);
    FillCodes(mask.get(), 8, 15, 8, 13, MaskHole);
    Bitmap expectedImage = CloneBitmap(image.get());
    Bitmap expectedMask = CloneBitmap(mask.get());
    FillByAveragingOnly(expectedImage.get(), expectedMask.get(), 8, 15, 8, 13, 8, 15, 8, 13);

    InpaintRegion(MakeJob(image.get(), mask.get(), 8, 15, 8, 13, 7, 3, false));
    EXPECT_TRUE(SameBytes(image.get(), expectedImage.get()));
    EXPECT_TRUE(SameBytes(mask.get(), expectedMask.get()));
}

// A 300-pixel hole (columns 20..39, lines 20..34) in a scan rectangle one
// column wider, whose extra column holds 3 Source pixels and 12 pixels of a
// code that counts for neither side; with extraHole one of those becomes a hole.
struct RatioScene {
    Bitmap image = MakePicture(60, 60, 8, false, 11);
    Bitmap mask = SourceMask(60, 60);
    RatioScene(bool extraHole, int neitherCode)
    {
        FillCodes(mask.get(), 20, 39, 20, 34, MaskHole);
        FillCodes(mask.get(), 40, 40, 23, 34, neitherCode);
        if (extraHole)
            SetCode(mask.get(), 40, 23, MaskHole);
    }
    void Run() { InpaintRegion(MakeJob(image.get(), mask.get(), 20, 40, 20, 34, 7, 3, false)); }
    Bitmap AveragedImage(bool extraHole)
    {
        Bitmap averagedImage = CloneBitmap(image.get());
        Bitmap averagedMask = CloneBitmap(mask.get());
        FillByAveragingOnly(averagedImage.get(), averagedMask.get(), 20, extraHole ? 40 : 39, 20, 34, 20, 40, 20,
                            34);
        return averagedImage;
    }
};

TEST(InpaintRegion, HoleOneHundredTimesTheKnownAreaStillTakesPatches)
{
    for (int neitherCode : {int(MaskOutline), int(MaskExcluded)}) {
        RatioScene scene(false, neitherCode);
        const Bitmap averaged = scene.AveragedImage(false);
        scene.Run();
        EXPECT_FALSE(SameBytes(scene.image.get(), averaged.get())) << neitherCode;
        for (int y = 20; y <= 34; ++y)
            for (int x = 20; x <= 39; ++x)
                ASSERT_EQ(CodeAt(scene.mask.get(), x, y), MaskSource) << x << "," << y;
    }
}

TEST(InpaintRegion, HoleMoreThanOneHundredTimesTheKnownAreaIsAveraged)
{
    for (int neitherCode : {int(MaskOutline), int(MaskExcluded)}) {
        RatioScene scene(true, neitherCode);
        const Bitmap averaged = scene.AveragedImage(true);
        scene.Run();
        EXPECT_TRUE(SameBytes(scene.image.get(), averaged.get())) << neitherCode;
    }
}

TEST(InpaintRegion, HoleBorderedOnlyByExcludedPixelsIsLeftAlone)
{
    Bitmap image = MakePicture(40, 40, 24, false, 5);
    Bitmap mask = SourceMask(40, 40);
    FillCodes(mask.get(), 10, 30, 10, 30, MaskExcluded);
    FillCodes(mask.get(), 15, 25, 15, 25, MaskHole);
    const Bitmap imageBefore = CloneBitmap(image.get());
    const Bitmap maskBefore = CloneBitmap(mask.get());
    InpaintRegion(MakeJob(image.get(), mask.get(), 0, 39, 0, 39, 7, 3, true));
    EXPECT_TRUE(SameBytes(image.get(), imageBefore.get()));
    EXPECT_TRUE(SameBytes(mask.get(), maskBefore.get()));
    EXPECT_TRUE(FillFront.empty());
    EXPECT_TRUE(InitialFront.empty());
}

TEST(InpaintRegion, WithoutHolesOnlyPromotesTheScanRectangle)
{
    Bitmap image = MakePicture(12, 12, 24, false, 2);
    Bitmap mask = SourceMask(12, 12);
    FillCodes(mask.get(), 0, 11, 0, 11, MaskFilled);
    SetCode(mask.get(), 5, 5, MaskDiffused);
    SetCode(mask.get(), 6, 5, 220);
    const Bitmap imageBefore = CloneBitmap(image.get());
    InpaintRegion(MakeJob(image.get(), mask.get(), 2, 8, 3, 9, 7, 3, false));
    EXPECT_TRUE(SameBytes(image.get(), imageBefore.get()));
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            const bool inScan = x >= 2 && x <= 8 && y >= 3 && y <= 9;
            const int expected = x == 6 && y == 5 ? 220 : inScan ? 255 : MaskFilled;
            EXPECT_EQ(CodeAt(mask.get(), x, y), expected) << x << "," << y;
        }
    }
}

TEST(InpaintRegion, SourcePixelsOfTheScanRectangleAreCopiedIntoTheTarget)
{
    Bitmap source = MakeBitmap(30, 30, 24);
    FillBitmap(source.get(), {10, 20, 30, 0});
    Bitmap target = MakeBitmap(30, 30, 24);
    FillBitmap(target.get(), {90, 80, 70, 0});
    Bitmap mask = SourceMask(30, 30);
    FillCodes(mask.get(), 13, 16, 13, 16, MaskHole);
    SetCode(mask.get(), 11, 11, MaskExcluded);
    InpaintJob job = MakeJob(target.get(), mask.get(), 10, 19, 10, 19, 5, 2, false);
    job.sourceImage = source.get();
    InpaintRegion(job);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 30; ++x) {
            const bool inScan = x >= 10 && x <= 19 && y >= 10 && y <= 19;
            const bool hole = x >= 13 && x <= 16 && y >= 13 && y <= 16;
            if (hole)
                continue;
            const Channels expected = inScan && !(x == 11 && y == 11) ? Channels{10, 20, 30, 0}
                                                                      : Channels{90, 80, 70, 0};
            ASSERT_EQ(PixelAt(target.get(), x, y), expected) << x << "," << y;
        }
    }
    EXPECT_EQ(PixelAt(source.get(), 14, 14), (Channels{10, 20, 30, 0}));
}

TEST(InpaintRegion, OutOfRangeSizesActAsTheirClampedValues)
{
    auto run = [](int patchSize, int searchGap) {
        Bitmap image = MakePicture(40, 40, 24, false, 9);
        Bitmap mask = SourceMask(40, 40);
        FillCodes(mask.get(), 17, 22, 16, 21, MaskHole);
        SetCode(mask.get(), 16, 18, MaskHole);
        InpaintRegion(MakeJob(image.get(), mask.get(), 16, 22, 16, 21, patchSize, searchGap, true));
        return HashBitmap(mask.get(), HashBitmap(image.get()));
    };
    const uint64_t smallest = run(3, 1);
    EXPECT_EQ(run(1, 1), smallest);
    EXPECT_EQ(run(-7, 0), smallest);
    EXPECT_EQ(run(3, -4), smallest);
}

TEST(InpaintRegion, HolesAtTheImageBorderAreFilledAndTheScanRectangleMayReachBeyond)
{
    auto run = [](int minX, int maxX, int minY, int maxY) {
        Bitmap image = MakePicture(30, 24, 32, false, 4);
        Bitmap mask = SourceMask(30, 24);
        FillCodes(mask.get(), 0, 4, 20, 23, MaskHole);
        FillCodes(mask.get(), 26, 29, 0, 2, MaskHole);
        InpaintRegion(MakeJob(image.get(), mask.get(), minX, maxX, minY, maxY, 5, 2, true));
        const Bitmap allSource = SourceMask(30, 24);
        EXPECT_TRUE(SameBytes(mask.get(), allSource.get()));
        return HashBitmap(mask.get(), HashBitmap(image.get()));
    };
    EXPECT_EQ(run(-10, 40, -3, 30), run(0, 29, 0, 23));
}

TEST(InpaintRegion, UniformPictureStaysUniform)
{
    for (const PictureKind& kind : Kinds) {
        for (bool smoothSeam : {false, true}) {
            Bitmap image = kind.cmyk ? MakeCmykBitmap(40, 36) : MakeBitmap(40, 36, kind.bitsPerPixel);
            FillBitmap(image.get(), {17, 130, 201, 99});
            Bitmap mask = SourceMask(40, 36);
            FillCodes(mask.get(), 12, 25, 10, 20, MaskHole);
            FillCodes(mask.get(), 22, 30, 18, 24, MaskHole);
            InpaintRegion(MakeJob(image.get(), mask.get(), 12, 30, 10, 24, 7, 3, smoothSeam));
            Bitmap expected = kind.cmyk ? MakeCmykBitmap(40, 36) : MakeBitmap(40, 36, kind.bitsPerPixel);
            FillBitmap(expected.get(), {17, 130, 201, 99});
            EXPECT_TRUE(SameBytes(image.get(), expected.get())) << kind.name << " smoothSeam " << smoothSeam;
            const Bitmap allSource = SourceMask(40, 36);
            EXPECT_TRUE(SameBytes(mask.get(), allSource.get())) << kind.name << " smoothSeam " << smoothSeam;
        }
    }
}

namespace {

// A textured picture with two holes (one touching an excluded block, one
// with an outline pixel inside its box) and a scan rectangle two pixels
// larger than the hole box.
struct InvariantScene {
    static constexpr int Width = 64;
    static constexpr int Height = 56;
    static constexpr int Patch = 9;
    Bitmap image;
    Bitmap mask;
    Bitmap imageBefore;
    Bitmap maskBefore;
    int scanMinX = 0, scanMaxX = 0, scanMinY = 0, scanMaxY = 0;

    explicit InvariantScene(const PictureKind& kind)
        : image(MakePicture(Width, Height, kind.bitsPerPixel, kind.cmyk, 21))
        , mask(SourceMask(Width, Height))
    {
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                if ((x - 30) * (x - 30) + (y - 26) * (y - 26) <= 49)
                    SetCode(mask.get(), x, y, MaskHole);
        FillCodes(mask.get(), 36, 41, 22, 24, MaskHole);
        FillCodes(mask.get(), 14, 20, 18, 34, MaskExcluded);
        FillCodes(mask.get(), 21, 22, 24, 27, MaskHole);
        SetCode(mask.get(), 39, 28, MaskOutline);
        SetCode(mask.get(), 25, 20, MaskOutline);
        scanMinX = 19;
        scanMaxX = 43;
        scanMinY = 17;
        scanMaxY = 35;
        imageBefore = CloneBitmap(image.get());
        maskBefore = CloneBitmap(mask.get());
    }

    void Run(bool smoothSeam)
    {
        InpaintRegion(MakeJob(image.get(), mask.get(), scanMinX, scanMaxX, scanMinY, scanMaxY, Patch, 4,
                              smoothSeam));
    }

    // Chebyshev distance to the nearest hole pixel of the job.
    int DistanceToHole(int x, int y) const
    {
        int nearest = 1 << 20;
        for (int v = 0; v < Height; ++v)
            for (int u = 0; u < Width; ++u)
                if (CodeAt(maskBefore.get(), u, v) == MaskHole)
                    nearest = std::min(nearest, std::max(std::abs(u - x), std::abs(v - y)));
        return nearest;
    }
};

} // namespace

TEST(InpaintRegion, WholeJobsKeepTheirInvariants)
{
    for (const PictureKind& kind : Kinds) {
        for (bool smoothSeam : {false, true}) {
            SCOPED_TRACE(std::string(kind.name) + (smoothSeam ? " with smoothSeam" : " without smoothSeam"));
            InvariantScene scene(kind);
            scene.Run(smoothSeam);
            EXPECT_TRUE(FillFront.empty());
            EXPECT_TRUE(InitialFront.empty());
            int changedSource = 0;
            for (int y = 0; y < InvariantScene::Height; ++y) {
                for (int x = 0; x < InvariantScene::Width; ++x) {
                    const int before = CodeAt(scene.maskBefore.get(), x, y);
                    const int after = CodeAt(scene.mask.get(), x, y);
                    const Channels oldColour = PixelAt(scene.imageBefore.get(), x, y);
                    const Channels newColour = PixelAt(scene.image.get(), x, y);
                    if (before == MaskHole) {
                        ASSERT_EQ(after, MaskSource) << "hole left at " << x << "," << y;
                    } else {
                        ASSERT_EQ(after, before) << "code changed at " << x << "," << y;
                    }
                    if (before == MaskExcluded || before == MaskOutline) {
                        ASSERT_EQ(newColour, oldColour) << "untouchable pixel changed at " << x << "," << y;
                    }
                    if (before == MaskSource && newColour != oldColour) {
                        ++changedSource;
                        ASSERT_TRUE(smoothSeam) << "Source changed at " << x << "," << y;
                        ASSERT_LE(scene.DistanceToHole(x, y), InvariantScene::Patch / 2 + 1)
                            << "Source changed outside every disc at " << x << "," << y;
                    }
                }
            }
            if (smoothSeam) {
                EXPECT_GT(changedSource, 0);
            }
        }
    }
}

TEST(InpaintRegion, PassWithoutAnyAcceptableCandidateFallsBackToAveraging)
{
    // A one-pixel Source ring round the hole, everything else excluded: no
    // shifted copy of the ring covers a target patch's known pixels, so every
    // search fails and the hole is averaged from the ring.
    Bitmap image = MakePicture(30, 30, 24, false, 8);
    Bitmap mask = MakeBitmap(30, 30, 8);
    FillCodes(mask.get(), 9, 15, 9, 15, MaskSource);
    FillCodes(mask.get(), 10, 14, 10, 14, MaskHole);
    Bitmap expectedImage = CloneBitmap(image.get());
    Bitmap expectedMask = CloneBitmap(mask.get());
    FillByAveragingOnly(expectedImage.get(), expectedMask.get(), 10, 14, 10, 14, 9, 15, 9, 15);

    InpaintRegion(MakeJob(image.get(), mask.get(), 9, 15, 9, 15, 7, 3, true));
    EXPECT_TRUE(SameBytes(image.get(), expectedImage.get()));
    EXPECT_TRUE(SameBytes(mask.get(), expectedMask.get()));
    EXPECT_TRUE(FillFront.empty());
    EXPECT_TRUE(InitialFront.empty());
}
