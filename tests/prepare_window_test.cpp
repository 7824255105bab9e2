// SPDX-License-Identifier: MIT
#include "engine/prepare_window.h"

#include "test_bitmaps.h"

#include <gtest/gtest.h>

namespace {

// A window that reaches one column left, two columns right, one line below
// and one line above a 4 x 3 picture.
WorkWindow WindowAroundSmallPicture(int bytesPerPixel)
{
    WorkWindow window;
    window.originX = -1;
    window.originY = -1;
    window.width = 7;
    window.height = 5;
    window.maskBuffer.assign(35, 0xAB);
    window.colourBuffer.assign(35u * bytesPerPixel, 0xAB);
    return window;
}

struct SmallPicture {
    Bitmap image;
    Bitmap mask;
};

SmallPicture MakeSmallPicture(int bitsPerPixel)
{
    SmallPicture picture{MakeBitmap(4, 3, bitsPerPixel), MakeBitmap(4, 3, 8)};
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            SetPixelAt(picture.image.get(), x, y, {10 * x + y + 1, 20 + x, 30 + y, 40 + x + y});
            SetCode(picture.mask.get(), x, y, 255);
        }
    }
    SetCode(picture.mask.get(), 1, 1, MaskHole);
    SetCode(picture.mask.get(), 2, 1, MaskExcluded);
    SetCode(picture.mask.get(), 3, 2, MaskOutline);
    return picture;
}

} // namespace

TEST(PrepareWindow, CopiesCodesAndColoursAndZeroesWhatLiesOutsideTheImage)
{
    for (int bytesPerPixel : {1, 3, 4}) {
        SmallPicture picture = MakeSmallPicture(bytesPerPixel * 8);
        WorkWindow window = WindowAroundSmallPicture(bytesPerPixel);
        PrepareWindow(window, {picture.image.get(), picture.mask.get(), 4, 3, bytesPerPixel});

        for (int r = 0; r < window.height; ++r) {
            for (int c = 0; c < window.width; ++c) {
                const int x = c - 1;
                const int y = r - 1;
                const std::size_t index = static_cast<std::size_t>(r) * window.width + c;
                const bool inside = x >= 0 && x < 4 && y >= 0 && y < 3;
                const int code = inside ? CodeAt(picture.mask.get(), x, y) : 0;
                EXPECT_EQ(window.maskBuffer[index], code) << c << "," << r;
                const Channels expected = code == 0 ? Channels{} : PixelAt(picture.image.get(), x, y);
                for (int k = 0; k < bytesPerPixel; ++k)
                    EXPECT_EQ(window.colourBuffer[index * bytesPerPixel + k], expected[k])
                        << bytesPerPixel << " bytes, channel " << k << " at " << c << "," << r;
            }
        }
    }
}

TEST(PrepareWindow, ExcludedPixelCarriesNoColour)
{
    SmallPicture picture = MakeSmallPicture(24);
    WorkWindow window = WindowAroundSmallPicture(3);
    PrepareWindow(window, {picture.image.get(), picture.mask.get(), 4, 3, 3});
    const std::size_t excluded = 2u * 7 + 3; // image (2, 1)
    EXPECT_EQ(window.maskBuffer[excluded], 0);
    EXPECT_EQ(window.colourBuffer[excluded * 3 + 0], 0);
    EXPECT_EQ(window.colourBuffer[excluded * 3 + 1], 0);
    EXPECT_EQ(window.colourBuffer[excluded * 3 + 2], 0);
    // A hole pixel carries whatever the target holds.
    const std::size_t hole = 2u * 7 + 2; // image (1, 1)
    EXPECT_EQ(window.maskBuffer[hole], MaskHole);
    EXPECT_EQ(window.colourBuffer[hole * 3 + 0], 12);
}

TEST(PrepareWindow, DoesNotChangeTheBitmaps)
{
    SmallPicture picture = MakeSmallPicture(32);
    const Bitmap image = CloneBitmap(picture.image.get());
    const Bitmap mask = CloneBitmap(picture.mask.get());
    WorkWindow window = WindowAroundSmallPicture(4);
    PrepareWindow(window, {picture.image.get(), picture.mask.get(), 4, 3, 4});
    EXPECT_TRUE(SameBytes(picture.image.get(), image.get()));
    EXPECT_TRUE(SameBytes(picture.mask.get(), mask.get()));
}
