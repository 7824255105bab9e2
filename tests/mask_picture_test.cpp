// SPDX-License-Identifier: MIT
// The mask route against a pixel-by-pixel reading of the hole picture.
#include "kernels/pixel_access.h"
#include "mask/mask_picture.h"
#include "picture/bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

BitmapPtr HolePicture(int width, int height, int bitsPerPixel, bool cmyk, unsigned seed)
{
    BitmapPtr picture(FreeImage_Allocate(width, height, bitsPerPixel));
    if (cmyk)
        FreeImage_GetICCProfile(picture.get())->flags |= FIICC_COLOR_IS_CMYK;
    std::mt19937 random(seed);
    const int bytesPerPixel = bitsPerPixel / 8;
    // A few sparse non-zero bytes, one channel at a time, some in the alpha byte.
    for (int n = 0; n < width * height / 40; ++n) {
        BYTE* line = FreeImage_GetScanLine(picture.get(), static_cast<int>(random() % height));
        line[(random() % width) * bytesPerPixel + random() % bytesPerPixel] = static_cast<BYTE>(1 + random() % 255);
    }
    return picture;
}

TEST(MaskPictureToJob, CodesAndBoundingBoxMatchEveryPixelRead)
{
    struct Layout {
        int bits;
        bool cmyk;
    };
    for (const Layout layout : {Layout{8, false}, Layout{24, false}, Layout{32, false}, Layout{32, true}}) {
        for (unsigned seed = 1; seed <= 4; ++seed) {
            const int width = 37 + static_cast<int>(seed) * 13;
            const int height = 23 + static_cast<int>(seed) * 7;
            const BitmapPtr holes = HolePicture(width, height, layout.bits, layout.cmyk, seed);
            const BitmapPtr mask(FreeImage_Allocate(width, height, 8));
            const InpaintJob job = MaskPictureToJob(holes.get(), mask.get(), 9, false, holes.get());

            const int colourBytes = layout.bits == 32 && !layout.cmyk ? 3 : layout.bits / 8;
            int minX = width, maxX = 0, minY = height - 1, maxY = -1;
            for (int y = 0; y < height; ++y) {
                const BYTE* line = FreeImage_GetScanLine(holes.get(), y);
                for (int x = 0; x < width; ++x) {
                    const BYTE* pixel = line + x * (layout.bits / 8);
                    const bool hole = std::any_of(pixel, pixel + colourBytes, [](BYTE b) { return b != 0; });
                    ASSERT_EQ(ReadMaskValue(mask.get(), x, y), hole ? MaskHole : MaskSource)
                        << layout.bits << " bits, seed " << seed << " at " << x << ", " << y;
                    if (hole) {
                        minX = std::min(minX, x), maxX = std::max(maxX, x);
                        minY = std::min(minY, y), maxY = std::max(maxY, y);
                    }
                }
            }
            EXPECT_EQ(job.scanMinX, minX);
            EXPECT_EQ(job.scanMaxX, maxX);
            EXPECT_EQ(job.scanMinY, minY);
            EXPECT_EQ(job.scanMaxY, maxY);
        }
    }
}

TEST(MaskPictureToJob, BlackPictureGivesTheEmptyRectangleAndAllSource)
{
    const BitmapPtr holes(FreeImage_Allocate(31, 17, 24));
    const BitmapPtr mask(FreeImage_Allocate(31, 17, 8));
    const InpaintJob job = MaskPictureToJob(holes.get(), mask.get(), 9, false, holes.get());
    EXPECT_EQ(job.scanMinX, 31);
    EXPECT_EQ(job.scanMaxX, 0);
    EXPECT_EQ(job.scanMinY, 16);
    EXPECT_EQ(job.scanMaxY, -1);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 31; ++x)
            ASSERT_EQ(ReadMaskValue(mask.get(), x, y), MaskSource);
}

} // namespace
