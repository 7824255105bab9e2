// SPDX-License-Identifier: MIT
// Jobs no Paint command would make: holes against every border or over the
// whole picture, scan rectangles far beyond the image, codes the Paint
// command never writes, extreme patch sizes and search gaps, and pictures
// smaller than a patch. The engine must stay inside its buffers, fill what
// the rules let it fill, and leave everything else as it was.
#include "engine/inpaint_job.h"
#include "engine/whole_region_fill.h"
#include "engine/write_back.h"
#include "test_bitmaps.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

namespace {

Bitmap TexturedPicture(int width, int height, int bitsPerPixel, uint32_t seed)
{
    Bitmap image = MakeBitmap(width, height, bitsPerPixel);
    PaintTexture(image.get(), seed);
    return image;
}

Bitmap MaskOf(int width, int height, int code)
{
    Bitmap mask = MakeBitmap(width, height, 8);
    FillCodes(mask.get(), 0, width - 1, 0, height - 1, code);
    return mask;
}

int WidthOf(FIBITMAP* bitmap) { return static_cast<int>(FreeImage_GetWidth(bitmap)); }
int HeightOf(FIBITMAP* bitmap) { return static_cast<int>(FreeImage_GetHeight(bitmap)); }

// Every hole pixel became Source; every other pixel kept its code and colour.
void ExpectHolesFilledAndNothingElseTouched(FIBITMAP* imageBefore, FIBITMAP* maskBefore, FIBITMAP* image,
                                            FIBITMAP* mask)
{
    for (int y = 0; y < HeightOf(mask); ++y)
        for (int x = 0; x < WidthOf(mask); ++x) {
            const int before = CodeAt(maskBefore, x, y);
            if (before == MaskHole) {
                ASSERT_EQ(CodeAt(mask, x, y), MaskSource) << "hole left at " << x << "," << y;
                continue;
            }
            ASSERT_EQ(CodeAt(mask, x, y), before) << x << "," << y;
            ASSERT_EQ(PixelAt(image, x, y), PixelAt(imageBefore, x, y)) << x << "," << y;
        }
}

// What averaging alone makes of a job whose hole box and scan rectangle are given.
void AverageOnly(FIBITMAP* image, FIBITMAP* mask, int minX, int maxX, int minY, int maxY)
{
    FillWholeRegion({image, mask, WidthOf(image), HeightOf(image), BytesPerPixel(image)}, minX, maxX, minY, maxY);
    PromoteFilledCodes(minX, maxX, minY, maxY, mask);
}

uint64_t RunAndHash(FIBITMAP* image, FIBITMAP* mask, const InpaintJob& job)
{
    InpaintRegion(job);
    EXPECT_TRUE(FillFront.empty());
    EXPECT_TRUE(InitialFront.empty());
    return HashBitmap(mask, HashBitmap(image));
}

} // namespace

TEST(OddJobs, HoleTouchingEveryBorderIsFilled)
{
    struct Shape {
        const char* name;
        std::function<bool(int x, int y)> inHole;
    };
    const Shape shapes[] = {
        {"cross", [](int x, int y) { return x == 17 || y == 11; }},
        {"frame", [](int x, int y) { return x < 2 || x > 31 || y < 2 || y > 21; }},
    };
    for (const Shape& shape : shapes) {
        for (int bitsPerPixel : {8, 24, 32}) {
            SCOPED_TRACE(std::string(shape.name) + " " + std::to_string(bitsPerPixel) + " bits");
            Bitmap image = TexturedPicture(34, 24, bitsPerPixel, 6);
            Bitmap mask = MaskOf(34, 24, MaskSource);
            for (int y = 0; y < 24; ++y)
                for (int x = 0; x < 34; ++x)
                    if (shape.inHole(x, y))
                        SetCode(mask.get(), x, y, MaskHole);
            const Bitmap imageBefore = CloneBitmap(image.get());
            const Bitmap maskBefore = CloneBitmap(mask.get());
            RunAndHash(image.get(), mask.get(), MakeJob(image.get(), mask.get(), 0, 33, 0, 23, 7, 3, false));
            ExpectHolesFilledAndNothingElseTouched(imageBefore.get(), maskBefore.get(), image.get(), mask.get());
        }
    }
}

TEST(OddJobs, HoleOverTheWholePictureIsLeftAsItWas)
{
    Bitmap image = TexturedPicture(20, 16, 24, 2);
    Bitmap mask = MaskOf(20, 16, MaskHole);
    const Bitmap imageBefore = CloneBitmap(image.get());
    const Bitmap maskBefore = CloneBitmap(mask.get());
    RunAndHash(image.get(), mask.get(), MakeJob(image.get(), mask.get(), 0, 19, 0, 15, 9, 4, true));
    EXPECT_TRUE(SameBytes(image.get(), imageBefore.get()));
    EXPECT_TRUE(SameBytes(mask.get(), maskBefore.get()));
}

TEST(OddJobs, HoleOverAllButOnePixelTakesThatPixelsColourEverywhere)
{
    Bitmap image = TexturedPicture(20, 16, 32, 2);
    Bitmap mask = MaskOf(20, 16, MaskHole);
    SetCode(mask.get(), 13, 4, MaskSource);
    const Channels colour = PixelAt(image.get(), 13, 4);
    RunAndHash(image.get(), mask.get(), MakeJob(image.get(), mask.get(), 0, 19, 0, 15, 9, 4, true));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 20; ++x) {
            ASSERT_EQ(CodeAt(mask.get(), x, y), MaskSource) << x << "," << y;
            ASSERT_EQ(PixelAt(image.get(), x, y), colour) << x << "," << y;
        }
}

TEST(OddJobs, ScanRectangleAsLargeAsTheIntegersGoActsAsThePicture)
{
    auto run = [](int minX, int maxX, int minY, int maxY) {
        Bitmap image = TexturedPicture(30, 20, 24, 12);
        Bitmap mask = MaskOf(30, 20, MaskSource);
        FillCodes(mask.get(), 12, 16, 8, 11, MaskHole);
        SetCode(mask.get(), 2, 3, MaskFilled);
        return RunAndHash(image.get(), mask.get(), MakeJob(image.get(), mask.get(), minX, maxX, minY, maxY, 5, 2,
                                                           true));
    };
    const uint64_t picture = run(0, 29, 0, 19);
    EXPECT_EQ(run(INT_MIN, INT_MAX, INT_MIN, INT_MAX), picture);
    EXPECT_EQ(run(-1000000, 1000000, INT_MIN, 19), picture);
}

TEST(OddJobs, ScanRectangleWhollyOutsideThePictureChangesNothing)
{
    Bitmap image = TexturedPicture(16, 16, 8, 1);
    Bitmap mask = MaskOf(16, 16, MaskSource);
    FillCodes(mask.get(), 5, 9, 5, 9, MaskHole);
    SetCode(mask.get(), 3, 3, MaskFilled);
    const Bitmap imageBefore = CloneBitmap(image.get());
    const Bitmap maskBefore = CloneBitmap(mask.get());
    for (const auto& [minX, maxX, minY, maxY] :
         {std::array{16, 40, 0, 15}, std::array{-9, -1, 0, 15}, std::array{0, 15, INT_MIN, -1},
          std::array{INT_MAX, INT_MAX, INT_MAX, INT_MAX}, std::array{9, 5, 9, 5}}) {
        RunAndHash(image.get(), mask.get(), MakeJob(image.get(), mask.get(), minX, maxX, minY, maxY, 7, 3, true));
        EXPECT_TRUE(SameBytes(image.get(), imageBefore.get())) << minX << ".." << maxX << ", " << minY << ".." << maxY;
        EXPECT_TRUE(SameBytes(mask.get(), maskBefore.get())) << minX << ".." << maxX << ", " << minY << ".." << maxY;
    }
}

TEST(OddJobs, HoleAgainstTheBorderBehindExcludedPixelsIsLeftAlone)
{
    // Outside the picture reads as excluded, so the corner hole meets nothing known.
    Bitmap image = TexturedPicture(24, 24, 24, 3);
    Bitmap mask = MaskOf(24, 24, MaskSource);
    FillCodes(mask.get(), 0, 6, 0, 6, MaskExcluded);
    FillCodes(mask.get(), 0, 4, 0, 4, MaskHole);
    const Bitmap imageBefore = CloneBitmap(image.get());
    const Bitmap maskBefore = CloneBitmap(mask.get());
    RunAndHash(image.get(), mask.get(), MakeJob(image.get(), mask.get(), -5, 30, -5, 30, 7, 3, true));
    EXPECT_TRUE(SameBytes(image.get(), imageBefore.get()));
    EXPECT_TRUE(SameBytes(mask.get(), maskBefore.get()));
}

namespace {

// A uniform Source picture of colour A with a 6 x 6 hole, sprinkled with
// pixels of colour B that hold a code other than Source: known codes two
// pixels or more from the hole (so that averaging never meets them), codes
// that are neither known nor hole right up against it.
struct ForeignCodeScene {
    static constexpr Channels A{40, 80, 120, 0};
    static constexpr Channels B{250, 5, 5, 0};
    Bitmap image = MakeBitmap(40, 40, 24);
    Bitmap mask = MaskOf(40, 40, MaskSource);
    Bitmap maskBefore;

    explicit ForeignCodeScene(int code)
    {
        FillBitmap(image.get(), A);
        // How far from the hole box (columns and lines 17 to 22) the pixels must stay.
        const int distance = code > 220 ? 2 : 1;
        for (int y = 1; y < 40; y += 3)
            for (int x = 1; x < 40; x += 3) {
                if (x > 17 - distance && x < 22 + distance && y > 17 - distance && y < 22 + distance)
                    continue;
                SetCode(mask.get(), x, y, code);
                SetPixelAt(image.get(), x, y, B);
            }
        FillCodes(mask.get(), 17, 22, 17, 22, MaskHole);
        maskBefore = CloneBitmap(mask.get());
    }
};

} // namespace

TEST(OddJobs, CodesThePaintCommandNeverWritesFollowTheRules)
{
    for (int code : {50, 200, 221, 243}) {
        for (int patchSize : {5, 9}) {
            SCOPED_TRACE("code " + std::to_string(code) + ", patchSize " + std::to_string(patchSize));
            ForeignCodeScene scene(code);
            // The scan rectangle leaves out the top rows, where codes above 220 must stay.
            RunAndHash(scene.image.get(), scene.mask.get(),
                       MakeJob(scene.image.get(), scene.mask.get(), 0, 39, 0, 34, patchSize, 3, false));
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x) {
                    const int before = CodeAt(scene.maskBefore.get(), x, y);
                    const int after = CodeAt(scene.mask.get(), x, y);
                    if (before == MaskHole) {
                        // Only Source pixels are copied or averaged into the hole.
                        ASSERT_EQ(after, MaskSource) << x << "," << y;
                        ASSERT_EQ(PixelAt(scene.image.get(), x, y), ForeignCodeScene::A) << x << "," << y;
                        continue;
                    }
                    const bool promoted = before > 220 && before < 255 && y <= 34;
                    ASSERT_EQ(after, promoted ? int(MaskSource) : before) << x << "," << y;
                    // Neither known nor hole is not excluded: its colour stays.
                    ASSERT_EQ(PixelAt(scene.image.get(), x, y),
                              before == MaskSource ? ForeignCodeScene::A : ForeignCodeScene::B)
                        << x << "," << y;
                }
        }
    }
}

TEST(OddJobs, KnownCodesAloneFeedTheAveraging)
{
    // No Source at all: the hole is averaged from the ring of code 243 around it.
    for (int code : {221, 243}) {
        Bitmap image = TexturedPicture(20, 20, 8, 4);
        Bitmap mask = MaskOf(20, 20, 50);
        FillCodes(mask.get(), 7, 12, 7, 12, code);
        FillCodes(mask.get(), 8, 11, 8, 11, MaskHole);
        Bitmap expectedImage = CloneBitmap(image.get());
        Bitmap expectedMask = CloneBitmap(mask.get());
        AverageOnly(expectedImage.get(), expectedMask.get(), 8, 11, 8, 11);
        PromoteFilledCodes(7, 12, 7, 12, expectedMask.get());
        RunAndHash(image.get(), mask.get(), MakeJob(image.get(), mask.get(), 7, 12, 7, 12, 7, 3, true));
        EXPECT_TRUE(SameBytes(image.get(), expectedImage.get())) << code;
        EXPECT_TRUE(SameBytes(mask.get(), expectedMask.get())) << code;
        EXPECT_EQ(CodeAt(mask.get(), 7, 7), MaskSource) << code;
        EXPECT_EQ(CodeAt(mask.get(), 6, 6), 50) << code;
    }
}

TEST(OddJobs, PatchSizesBeyondTheTablesActAsTheirClampedValues)
{
    auto run = [](int patchSize, int searchGap) {
        Bitmap image = TexturedPicture(30, 26, 24, 14);
        Bitmap mask = MaskOf(30, 26, MaskSource);
        FillCodes(mask.get(), 12, 16, 11, 14, MaskHole);
        SetCode(mask.get(), 11, 12, MaskHole);
        const Bitmap imageBefore = CloneBitmap(image.get());
        const Bitmap maskBefore = CloneBitmap(mask.get());
        const uint64_t hash =
            RunAndHash(image.get(), mask.get(), MakeJob(image.get(), mask.get(), 11, 16, 11, 14, patchSize,
                                                        searchGap, false));
        ExpectHolesFilledAndNothingElseTouched(imageBefore.get(), maskBefore.get(), image.get(), mask.get());
        return hash;
    };
    const uint64_t smallest = run(3, 1);
    EXPECT_EQ(run(2, 1), smallest);
    EXPECT_NE(run(4, 1), smallest);
    // Patches this large find no candidate in so small a picture and end in
    // the averaging fallback; they must still keep to the patch tables.
    const uint64_t largest = run(128, 20);
    EXPECT_EQ(run(500, 20), largest);
    EXPECT_EQ(run(INT_MAX, 20), largest);
    run(127, 20);
}

TEST(OddJobs, AbsurdSearchGapBuildsNoWindowAndAveragesTheHole)
{
    for (int searchGap : {1 << 30, INT_MAX}) {
        Bitmap image = TexturedPicture(40, 30, 32, 5);
        Bitmap mask = MaskOf(40, 30, MaskSource);
        FillCodes(mask.get(), 15, 22, 10, 16, MaskHole);
        Bitmap expectedImage = CloneBitmap(image.get());
        Bitmap expectedMask = CloneBitmap(mask.get());
        AverageOnly(expectedImage.get(), expectedMask.get(), 15, 22, 10, 16);
        PromoteFilledCodes(0, 39, 0, 29, expectedMask.get());
        RunAndHash(image.get(), mask.get(), MakeJob(image.get(), mask.get(), 0, 39, 0, 29, 9, searchGap, true));
        EXPECT_TRUE(SameBytes(image.get(), expectedImage.get())) << searchGap;
        EXPECT_TRUE(SameBytes(mask.get(), expectedMask.get())) << searchGap;
    }
}

TEST(OddJobs, PicturesSmallerThanAPatchAreFilledOrLeftAlone)
{
    struct Case {
        int width, height, holeX, holeY;
        bool filled; // a single pixel has nothing to take from
    };
    for (const Case& c : {Case{1, 1, 0, 0, false}, Case{2, 1, 1, 0, true}, Case{1, 9, 0, 4, true},
                          Case{9, 1, 0, 0, true}, Case{5, 4, 2, 1, true}}) {
        for (int bitsPerPixel : {8, 24, 32}) {
            SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + ", " +
                         std::to_string(bitsPerPixel) + " bits");
            Bitmap image = TexturedPicture(c.width, c.height, bitsPerPixel, 7);
            Bitmap mask = MaskOf(c.width, c.height, MaskSource);
            SetCode(mask.get(), c.holeX, c.holeY, MaskHole);
            const Bitmap imageBefore = CloneBitmap(image.get());
            const Bitmap maskBefore = CloneBitmap(mask.get());
            RunAndHash(image.get(), mask.get(),
                       MakeJob(image.get(), mask.get(), c.holeX, c.holeX, c.holeY, c.holeY, 32, 16, true));
            if (c.filled) {
                ExpectHolesFilledAndNothingElseTouched(imageBefore.get(), maskBefore.get(), image.get(),
                                                       mask.get());
            } else {
                EXPECT_TRUE(SameBytes(image.get(), imageBefore.get()));
                EXPECT_TRUE(SameBytes(mask.get(), maskBefore.get()));
            }
        }
    }
}
