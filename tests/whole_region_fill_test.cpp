// SPDX-License-Identifier: MIT
#include "engine/whole_region_fill.h"

#include "engine/neighbour_mean.h"
#include "kernels/pixel_access.h"
#include "kernels/rounding.h"

#include "test_bitmaps.h"

#include <gtest/gtest.h>

namespace {

struct GreyPicture {
    Bitmap image;
    Bitmap mask;
    int width;
    int height;

    GreyPicture(int w, int h)
        : image(MakeBitmap(w, h, 8))
        , mask(MakeBitmap(w, h, 8))
        , width(w)
        , height(h)
    {
    }
    void Set(int x, int y, int code, int value)
    {
        SetCode(mask.get(), x, y, code);
        SetPixelAt(image.get(), x, y, {value, 0, 0, 0});
    }
    int Value(int x, int y) const { return PixelAt(image.get(), x, y)[0]; }
    int Code(int x, int y) const { return CodeAt(mask.get(), x, y); }
    void Fill(int minX, int maxX, int minY, int maxY, int bytesPerPixel = 1)
    {
        FillWholeRegion({image.get(), mask.get(), width, height, bytesPerPixel}, minX, maxX, minY, maxY);
    }
};

} // namespace

TEST(WholeRegionFill, HoleTakesTheRoundedMeanOfItsKnownNeighbours)
{
    GreyPicture picture(3, 3);
    int value = 10;
    for (const NeighbourOffset& offset : NeighbourOffsets) {
        picture.Set(1 + offset.dx, 1 + offset.dy, MaskSource, value);
        value += 10;
    }
    picture.Set(1, 1, MaskHole, 3);
    picture.Fill(1, 1, 1, 1);
    EXPECT_EQ(picture.Value(1, 1), 45);
    EXPECT_EQ(picture.Code(1, 1), MaskSource);
}

TEST(WholeRegionFill, HalvesRoundAwayFromZeroAndThirdsRoundDown)
{
    GreyPicture half(3, 3);
    FillCodes(half.mask.get(), 0, 2, 0, 2, MaskHole);
    half.Set(0, 1, MaskSource, 0);
    half.Set(2, 2, MaskSource, 1);
    half.Fill(1, 1, 1, 1);
    EXPECT_EQ(half.Value(1, 1), 1);

    GreyPicture third(3, 3);
    FillCodes(third.mask.get(), 0, 2, 0, 2, MaskHole);
    third.Set(0, 1, MaskSource, 0);
    third.Set(1, 0, MaskSource, 0);
    third.Set(2, 2, MaskSource, 1);
    third.Fill(1, 1, 1, 1);
    EXPECT_EQ(third.Value(1, 1), 0);
}

TEST(WholeRegionFill, SeedSweepFillsARowFromLeftToRight)
{
    GreyPicture picture(6, 3);
    picture.Set(0, 1, MaskSource, 90);
    for (int x = 1; x <= 4; ++x)
        picture.Set(x, 1, MaskHole, 0);
    picture.Fill(1, 4, 1, 1);
    for (int x = 1; x <= 4; ++x) {
        EXPECT_EQ(picture.Value(x, 1), 90) << x;
        EXPECT_EQ(picture.Code(x, 1), MaskSource) << x;
    }
}

TEST(WholeRegionFill, SeedSweepUsesPixelsFilledEarlierInTheSweep)
{
    // Row 1: Source 0, hole, hole, excluded. Row 2: excluded, excluded, hole, Source 200.
    // (2, 1) sees the just filled (1, 1) = 0 and (3, 2) = 200; a sweep that
    // ignored its own fills would give it 200.
    GreyPicture picture(4, 3);
    picture.Set(0, 1, MaskSource, 0);
    picture.Set(1, 1, MaskHole, 50);
    picture.Set(2, 1, MaskHole, 50);
    picture.Set(2, 2, MaskHole, 50);
    picture.Set(3, 2, MaskSource, 200);
    picture.Fill(0, 3, 0, 2);
    EXPECT_EQ(picture.Value(1, 1), 0);
    EXPECT_EQ(picture.Value(2, 1), 100);
    EXPECT_EQ(picture.Value(2, 2), 100);
}

TEST(WholeRegionFill, GrowthWavesReachConnectedHolesOutsideTheBox)
{
    GreyPicture picture(8, 1);
    picture.Set(0, 0, MaskSource, 80);
    for (int x = 1; x < 8; ++x)
        picture.Set(x, 0, MaskHole, 0);
    picture.Fill(1, 1, 0, 0);
    for (int x = 1; x < 8; ++x) {
        EXPECT_EQ(picture.Value(x, 0), 80) << x;
        EXPECT_EQ(picture.Code(x, 0), MaskSource) << x;
    }
}

TEST(WholeRegionFill, GrowthWaveAveragesWithWhatEarlierEntriesFilled)
{
    // Line 0: Source 0, hole, hole, hole, Source 90; line 1: all hole.
    GreyPicture picture(5, 2);
    FillCodes(picture.mask.get(), 0, 4, 0, 1, MaskHole);
    picture.Set(0, 0, MaskSource, 0);
    picture.Set(4, 0, MaskSource, 90);
    picture.Fill(1, 3, 0, 0);
    // Sweep: (1,0) = 0, (2,0) = 0 (from (1,0)), (3,0) = round((0 + 90) / 2) = 45.
    EXPECT_EQ(picture.Value(1, 0), 0);
    EXPECT_EQ(picture.Value(2, 0), 0);
    EXPECT_EQ(picture.Value(3, 0), 45);
    // Wave 1 visits (1,0), (2,0), (3,0) in that order, neighbours in the fixed order:
    // (1,0): (1,1) from (0,0) 0, (1,0) 0, (2,0) 0 -> 0; (0,1) from (0,0), (1,0), (1,1) -> 0;
    //        (2,1) from (1,1), (1,0), (2,0), (3,0) -> round(45 / 4) = 11.
    // (2,0): (3,1) from (2,1) 11, (2,0) 0, (3,0) 45, (4,0) 90 -> round(146 / 4) = 37.
    // (3,0): (4,1) from (3,1) 37, (3,0) 45, (4,0) 90 -> round(172 / 3) = 57.
    EXPECT_EQ(picture.Value(1, 1), 0);
    EXPECT_EQ(picture.Value(0, 1), 0);
    EXPECT_EQ(picture.Value(2, 1), 11);
    EXPECT_EQ(picture.Value(3, 1), 37);
    EXPECT_EQ(picture.Value(4, 1), 57);
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(picture.Code(x, 1), MaskSource) << x;
}

TEST(WholeRegionFill, UnreachableHoleKeepsItsCodeAndColour)
{
    GreyPicture picture(7, 3);
    picture.Set(0, 1, MaskSource, 60);
    picture.Set(1, 1, MaskHole, 5);
    picture.Set(5, 1, MaskHole, 33);
    picture.Set(6, 1, MaskOutline, 200);
    picture.Fill(0, 6, 0, 2);
    EXPECT_EQ(picture.Value(1, 1), 60);
    EXPECT_EQ(picture.Code(5, 1), MaskHole);
    EXPECT_EQ(picture.Value(5, 1), 33);
    EXPECT_EQ(picture.Code(6, 1), MaskOutline);
}

TEST(WholeRegionFill, FilledCodesCountAsKnownAndOutlinesDoNot)
{
    GreyPicture picture(3, 3);
    picture.Set(0, 0, MaskFilled, 30);
    picture.Set(2, 0, MaskOutline, 90);
    picture.Set(2, 2, 220, 90);
    picture.Set(0, 2, 221, 60);
    picture.Set(1, 1, MaskHole, 0);
    picture.Fill(1, 1, 1, 1);
    EXPECT_EQ(picture.Value(1, 1), 45);
    EXPECT_EQ(picture.Code(0, 0), MaskFilled);
}

TEST(WholeRegionFill, AveragesEveryChannelOfColourPictures)
{
    for (int bytesPerPixel : {3, 4}) {
        Bitmap image = MakeBitmap(3, 1, bytesPerPixel * 8);
        Bitmap mask = MakeBitmap(3, 1, 8);
        SetPixelAt(image.get(), 0, 0, {10, 20, 30, 40});
        SetPixelAt(image.get(), 2, 0, {11, 40, 0, 201});
        SetCode(mask.get(), 0, 0, MaskSource);
        SetCode(mask.get(), 2, 0, MaskSource);
        SetCode(mask.get(), 1, 0, MaskHole);
        FillWholeRegion({image.get(), mask.get(), 3, 1, bytesPerPixel}, 1, 1, 0, 0);
        const Channels expected = bytesPerPixel == 4 ? Channels{11, 30, 15, 121} : Channels{11, 30, 15, 0};
        EXPECT_EQ(PixelAt(image.get(), 1, 0), expected) << bytesPerPixel;
    }
}

TEST(WholeRegionFill, BoxWithoutReachableHolesChangesNothing)
{
    GreyPicture picture(4, 4);
    FillCodes(picture.mask.get(), 0, 3, 0, 3, MaskSource);
    picture.Set(3, 3, MaskHole, 1);
    const Bitmap image = CloneBitmap(picture.image.get());
    const Bitmap mask = CloneBitmap(picture.mask.get());
    picture.Fill(0, 1, 0, 1);
    EXPECT_TRUE(SameBytes(picture.image.get(), image.get()));
    EXPECT_TRUE(SameBytes(picture.mask.get(), mask.get()));
}

TEST(WholeRegionFill, IntegerMeanRoundsAsTheDoubleMean)
{
    for (int count = 1; count <= 8; ++count)
        for (int sum = 0; sum <= 255 * count; ++sum)
            ASSERT_EQ(RoundedMean(sum, count), RoundToInt(static_cast<double>(sum) / count)) << sum << "/" << count;
}
