// SPDX-License-Identifier: MIT
#include "engine/write_back.h"

#include "test_bitmaps.h"

#include <gtest/gtest.h>

namespace {

// A 3 x 2 window over a 2 x 2 picture, reaching one column past its right edge.
WorkWindow WindowPastTheRightEdge(int bytesPerPixel)
{
    WorkWindow window;
    window.originX = 0;
    window.originY = 0;
    window.width = 3;
    window.height = 2;
    window.maskBuffer = {MaskFilled, MaskExcluded, MaskSource, MaskHole, MaskSource, MaskSource};
    for (int pixel = 0; pixel < 6; ++pixel)
        for (int k = 0; k < bytesPerPixel; ++k)
            window.colourBuffer.push_back(static_cast<uint8_t>(100 + 10 * pixel + k));
    return window;
}

} // namespace

TEST(WriteBackWindow, WritesCodesAndColoursOfWindowPixelsInsideTheImage)
{
    for (int bytesPerPixel : {1, 3, 4}) {
        Bitmap image = MakeBitmap(2, 2, bytesPerPixel * 8);
        FillBitmap(image.get(), {7, 7, 7, 7});
        Bitmap mask = MakeBitmap(2, 2, 8);
        FillCodes(mask.get(), 0, 1, 0, 1, 255);
        const WorkWindow window = WindowPastTheRightEdge(bytesPerPixel);
        WriteBackWindow(window, {image.get(), mask.get(), 2, 2, bytesPerPixel});

        EXPECT_EQ(CodeAt(mask.get(), 0, 0), MaskFilled);
        EXPECT_EQ(CodeAt(mask.get(), 1, 0), MaskExcluded);
        EXPECT_EQ(CodeAt(mask.get(), 0, 1), MaskHole);
        EXPECT_EQ(CodeAt(mask.get(), 1, 1), MaskSource);
        Channels filled{}, hole{}, source{};
        for (int k = 0; k < bytesPerPixel; ++k) {
            filled[k] = 100 + k;
            hole[k] = 130 + k;
            source[k] = 140 + k;
        }
        EXPECT_EQ(PixelAt(image.get(), 0, 0), filled) << bytesPerPixel;
        EXPECT_EQ(PixelAt(image.get(), 0, 1), hole) << bytesPerPixel;
        EXPECT_EQ(PixelAt(image.get(), 1, 1), source) << bytesPerPixel;
        // Code 0 keeps the picture's colour.
        Channels untouched{};
        for (int k = 0; k < bytesPerPixel; ++k)
            untouched[k] = 7;
        EXPECT_EQ(PixelAt(image.get(), 1, 0), untouched) << bytesPerPixel;
    }
}

TEST(WriteBackWindow, WindowPixelsOutsideTheImageChangeNothing)
{
    Bitmap image = MakeBitmap(2, 2, 24);
    Bitmap mask = MakeBitmap(2, 2, 8);
    WorkWindow window;
    window.originX = -3;
    window.originY = 5;
    window.width = 2;
    window.height = 2;
    window.maskBuffer.assign(4, MaskSource);
    window.colourBuffer.assign(12, 99);
    WriteBackWindow(window, {image.get(), mask.get(), 2, 2, 3});
    const Bitmap blankImage = MakeBitmap(2, 2, 24);
    const Bitmap blankMask = MakeBitmap(2, 2, 8);
    EXPECT_TRUE(SameBytes(image.get(), blankImage.get()));
    EXPECT_TRUE(SameBytes(mask.get(), blankMask.get()));
}

TEST(PromoteFilledCodes, TurnsCodes221To254IntoSource)
{
    Bitmap mask = MakeBitmap(256, 1, 8);
    for (int code = 0; code < 256; ++code)
        SetCode(mask.get(), code, 0, code);
    PromoteFilledCodes(0, 255, 0, 0, mask.get());
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(CodeAt(mask.get(), code, 0), code >= 221 && code <= 254 ? 255 : code) << code;
}

TEST(PromoteFilledCodes, StaysInsideItsRectangle)
{
    Bitmap mask = MakeBitmap(5, 5, 8);
    FillCodes(mask.get(), 0, 4, 0, 4, MaskFilled);
    PromoteFilledCodes(2, 2, 1, 3, mask.get());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(CodeAt(mask.get(), x, y), x == 2 && y >= 1 && y <= 3 ? 255 : MaskFilled) << x << "," << y;
}

TEST(PromoteFilledCodes, EmptyOrOutsideRectanglesChangeNothing)
{
    Bitmap mask = MakeBitmap(4, 4, 8);
    FillCodes(mask.get(), 0, 3, 0, 3, MaskDiffused);
    const Bitmap before = CloneBitmap(mask.get());
    PromoteFilledCodes(3, 2, 0, 3, mask.get());
    PromoteFilledCodes(0, 3, 2, 1, mask.get());
    PromoteFilledCodes(-5, -1, -5, 10, mask.get());
    PromoteFilledCodes(4, 9, 0, 3, mask.get());
    EXPECT_TRUE(SameBytes(mask.get(), before.get()));
}
