// SPDX-License-Identifier: MIT
#include "kernels/pixel_access.h"
#include "test_bitmaps.h"

#include <gtest/gtest.h>

#include <utility>

TEST(PixelAccess, WritesKeepOnlyTheLowByte)
{
    Bitmap image = MakeBitmap(2, 2, 24);
    const int channels[4] = {300, -1, 256, 0};
    WritePixel(image.get(), 1, 0, channels, 3);
    EXPECT_EQ(PixelAt(image.get(), 1, 0), (Channels{44, 255, 0, 0}));

    Bitmap mask = MakeBitmap(2, 2, 8);
    WriteMaskValue(mask.get(), 0, 1, 300);
    EXPECT_EQ(CodeAt(mask.get(), 0, 1), 44);
}

TEST(PixelAccess, ChannelsAreTheBytesInMemoryOrder)
{
    Bitmap image = MakeBitmap(3, 2, 32);
    SetPixelAt(image.get(), 2, 1, {1, 2, 3, 4});
    int channels[4] = {-1, -1, -1, -1};
    ReadPixel(image.get(), 2, 1, channels, 4);
    EXPECT_EQ((Channels{channels[0], channels[1], channels[2], channels[3]}), (Channels{1, 2, 3, 4}));

    const int written[4] = {9, 8, 7, 6};
    WritePixel(image.get(), 0, 0, written, 4);
    EXPECT_EQ(PixelAt(image.get(), 0, 0), (Channels{9, 8, 7, 6}));
}

TEST(PixelAccess, EightBitPixelsAreRawBytesWithoutPaletteLookup)
{
    Bitmap image = MakeBitmap(2, 1, 8);
    FreeImage_GetPalette(image.get())[77] = RGBQUAD{1, 2, 3, 0};
    SetPixelAt(image.get(), 1, 0, {77, 0, 0, 0});
    int channels[4] = {-1, -1, -1, -1};
    ReadPixel(image.get(), 1, 0, channels, 1);
    EXPECT_EQ((Channels{channels[0], channels[1], channels[2], channels[3]}), (Channels{77, -1, -1, -1}));
}

TEST(PixelAccess, ReadsOutsideTheImageChangeNothing)
{
    Bitmap mask = MakeBitmap(3, 3, 8);
    FillCodes(mask.get(), 0, 2, 0, 2, 255);
    EXPECT_EQ(ReadMaskValue(mask.get(), -1, 0), 0);
    EXPECT_EQ(ReadMaskValue(mask.get(), 0, -1), 0);
    EXPECT_EQ(ReadMaskValue(mask.get(), 3, 0), 0);
    EXPECT_EQ(ReadMaskValue(mask.get(), 0, 3), 0);
    bool ok = true;
    ReadMaskValue(mask.get(), 3, 3, &ok);
    EXPECT_FALSE(ok);

    for (int bytesPerPixel : {1, 3, 4}) {
        Bitmap image = MakeBitmap(3, 3, bytesPerPixel * 8);
        FillBitmap(image.get(), {50, 60, 70, 80});
        for (auto [x, y] : {std::pair{-1, 1}, std::pair{1, -1}, std::pair{3, 1}, std::pair{1, 3}}) {
            int channels[4] = {-7, -7, -7, -7};
            ReadPixel(image.get(), x, y, channels, bytesPerPixel);
            EXPECT_EQ((Channels{channels[0], channels[1], channels[2], channels[3]}), (Channels{-7, -7, -7, -7}))
                << bytesPerPixel << " bytes at " << x << "," << y;
        }
    }
}

TEST(PixelAccess, WritesOutsideTheImageChangeNothing)
{
    for (int bytesPerPixel : {1, 3, 4}) {
        Bitmap image = MakeBitmap(3, 3, bytesPerPixel * 8);
        FillBitmap(image.get(), {50, 60, 70, 80});
        const Bitmap before = CloneBitmap(image.get());
        const int channels[4] = {1, 2, 3, 4};
        for (auto [x, y] : {std::pair{-1, 0}, std::pair{0, -1}, std::pair{3, 0}, std::pair{0, 3}}) {
            WritePixel(image.get(), x, y, channels, bytesPerPixel);
            if (bytesPerPixel == 1)
                WriteMaskValue(image.get(), x, y, 9);
        }
        EXPECT_TRUE(SameBytes(image.get(), before.get())) << bytesPerPixel;
    }
}

TEST(PixelAccess, MaskReadOfAColourBitmapGivesZero)
{
    for (int bitsPerPixel : {24, 32}) {
        Bitmap image = MakeBitmap(2, 2, bitsPerPixel);
        FillBitmap(image.get(), {200, 200, 200, 200});
        EXPECT_EQ(ReadMaskValue(image.get(), 1, 1), 0) << bitsPerPixel;
    }
}

TEST(PixelAccess, UnsupportedByteCountReadsAndWritesNothing)
{
    Bitmap image = MakeBitmap(2, 2, 24);
    FillBitmap(image.get(), {10, 20, 30, 0});
    int channels[4] = {-3, -3, -3, -3};
    ReadPixel(image.get(), 1, 1, channels, 2);
    EXPECT_EQ((Channels{channels[0], channels[1], channels[2], channels[3]}), (Channels{-3, -3, -3, -3}));

    const int written[4] = {1, 2, 3, 4};
    WritePixel(image.get(), 1, 1, written, 2);
    EXPECT_EQ(PixelAt(image.get(), 1, 1), (Channels{10, 20, 30, 0}));
}

TEST(PixelAccess, ThreeByteReadsAndWritesLeaveTheFourthChannelAlone)
{
    Bitmap image = MakeBitmap(2, 1, 32);
    SetPixelAt(image.get(), 0, 0, {1, 2, 3, 4});
    int channels[4] = {-5, -5, -5, -5};
    ReadPixel(image.get(), 0, 0, channels, 3);
    EXPECT_EQ((Channels{channels[0], channels[1], channels[2], channels[3]}), (Channels{1, 2, 3, -5}));

    Bitmap rgb = MakeBitmap(2, 1, 24);
    SetPixelAt(rgb.get(), 1, 0, {99, 99, 99, 0});
    const int written[4] = {7, 8, 9, 123};
    WritePixel(rgb.get(), 0, 0, written, 3);
    EXPECT_EQ(PixelAt(rgb.get(), 0, 0), (Channels{7, 8, 9, 0}));
    // The fourth channel must not spill into the next pixel.
    EXPECT_EQ(PixelAt(rgb.get(), 1, 0), (Channels{99, 99, 99, 0}));
}

TEST(PixelAccess, OneByteWritesIgnoreChannelsOneToThree)
{
    Bitmap image = MakeBitmap(3, 1, 8);
    const int written[4] = {42, 43, 44, 45};
    WritePixel(image.get(), 1, 0, written, 1);
    EXPECT_EQ(PixelAt(image.get(), 0, 0)[0], 0);
    EXPECT_EQ(PixelAt(image.get(), 1, 0)[0], 42);
    EXPECT_EQ(PixelAt(image.get(), 2, 0)[0], 0);
}
