// SPDX-License-Identifier: MIT
// The fill of pictures of 16 bits per channel: averages taken of the 16-bit
// neighbours, copies that carry their source's 16 bits, every other pixel
// kept, and the same bits on any number of threads.
#include "deep_pictures.h"
#include "kernels/parallel_for.h"
#include "paint/paint_picture.h"
#include "picture/full_depth.h"
#include "test_bitmaps.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

// A picture at 16 bits, its working reduction and a mask of Source codes.
struct DeepJob {
    BitmapPtr fullDepth;
    BitmapPtr working;
    BitmapPtr mask;
    InpaintJob job;
};

DeepJob MakeDeepJob(BitmapPtr fullDepth, int patchSize, bool smoothSeam)
{
    DeepJob deep;
    const int width = static_cast<int>(FreeImage_GetWidth(fullDepth.get()));
    const int height = static_cast<int>(FreeImage_GetHeight(fullDepth.get()));
    deep.working = ReduceToWorkingDepth(fullDepth.get());
    deep.fullDepth = std::move(fullDepth);
    deep.mask = MakeBitmap(width, height, 8);
    FillCodes(deep.mask.get(), 0, width - 1, 0, height - 1, MaskSource);
    deep.job = MakeJob(deep.working.get(), deep.mask.get(), 0, width - 1, 0, height - 1, patchSize, 1, smoothSeam);
    return deep;
}

void SetSample(FIBITMAP* picture, int x, int y, int s, uint16_t value)
{
    reinterpret_cast<uint16_t*>(FreeImage_GetScanLine(picture, y))[x * SamplesPerPixel(picture) + s] = value;
}

} // namespace

TEST(PaintPicture, AveragesAreTakenOfTheSixteenBitNeighboursInTheEnginesOrder)
{
    // No Source pixel in the scan rectangle: neighbour averaging fills the hole.
    BitmapPtr grey(FreeImage_AllocateT(FIT_UINT16, 5, 5));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            SetSample(grey.get(), x, y, 0, static_cast<uint16_t>(256 * (x + 1) + y));
    DeepJob deep = MakeDeepJob(std::move(grey), 3, false);
    const BitmapPtr before = CloneBitmap(deep.fullDepth.get());
    SetCode(deep.mask.get(), 2, 2, MaskHole);
    SetCode(deep.mask.get(), 3, 2, MaskHole);
    deep.job.scanMinX = 2;
    deep.job.scanMaxX = 3;
    deep.job.scanMinY = deep.job.scanMaxY = 2;

    ASSERT_EQ(PaintPicture(deep.job, FillMethod::Patches, deep.fullDepth.get(), nullptr), InpaintOutcome::Filled);
    // (2, 2) first: its 7 known neighbours sum to 5134; 733.43 rounds to 733
    // (the 8-bit mean, 20 / 7, would widen to 771). Then (3, 2): 8 neighbours,
    // (2, 2) among them at its new value, sum to 8171; 1021.375 gives 1021.
    EXPECT_EQ(Sample(deep.fullDepth.get(), 2, 2, 0), 733);
    EXPECT_EQ(Sample(deep.fullDepth.get(), 3, 2, 0), 1021);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            if (y != 2 || (x != 2 && x != 3)) {
                EXPECT_EQ(Sample(deep.fullDepth.get(), x, y, 0), Sample(before.get(), x, y, 0)) << x << "," << y;
            }
        }
    EXPECT_TRUE(SameBytes(ReduceToWorkingDepth(deep.fullDepth.get()).get(), deep.working.get()));
}

// Every pixel has its own 8-bit colour, so a filled pixel whose 8-bit
// result is some pixel's colour was copied from that pixel.
TEST(PaintPicture, CopiedPixelsTakeTheirSourcesSixteenBitsAndOthersKeepEveryBit)
{
    constexpr int Width = 64;
    constexpr int Height = 48;
    BitmapPtr rgb(FreeImage_AllocateT(FIT_RGB16, Width, Height));
    std::mt19937 random(11);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            for (int s = 0; s < 3; ++s)
                SetSample(rgb.get(), x, y, s, static_cast<uint16_t>(random()));
    DeepJob deep = MakeDeepJob(std::move(rgb), 7, false);
    const BitmapPtr before = CloneBitmap(deep.fullDepth.get());
    // Colours that two pixels share by chance name no source.
    std::map<Channels, std::pair<int, int>> pixelOfColour;
    std::map<Channels, int> pixelsOfColour;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            pixelOfColour[PixelAt(deep.working.get(), x, y)] = {x, y};
            ++pixelsOfColour[PixelAt(deep.working.get(), x, y)];
        }
    const auto inHole = [](int x, int y) { return x >= 26 && x < 38 && y >= 20 && y < 29; };
    FillCodes(deep.mask.get(), 26, 37, 20, 28, MaskHole);
    // The engine's own 8-bit result, from the same job on a copy.
    const BitmapPtr engine = CloneBitmap(deep.working.get());
    const BitmapPtr engineMask = CloneBitmap(deep.mask.get());
    InpaintJob eightBit = deep.job;
    eightBit.targetImage = eightBit.sourceImage = engine.get();
    eightBit.maskImage = engineMask.get();
    ASSERT_EQ(InpaintRegion(eightBit), InpaintOutcome::Filled);

    ASSERT_EQ(PaintPicture(deep.job, FillMethod::Patches, deep.fullDepth.get(), nullptr), InpaintOutcome::Filled);
    int copies = 0;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            auto source = std::make_pair(x, y);
            if (inHole(x, y)) {
                const auto found = pixelOfColour.find(PixelAt(engine.get(), x, y));
                if (found == pixelOfColour.end() || pixelsOfColour[found->first] != 1)
                    continue;
                source = found->second;
                ++copies;
            }
            for (int s = 0; s < 3; ++s)
                ASSERT_EQ(Sample(deep.fullDepth.get(), x, y, s), Sample(before.get(), source.first, source.second, s))
                    << x << "," << y;
        }
    EXPECT_GT(copies, 12 * 9 / 4);
    EXPECT_TRUE(SameBytes(ReduceToWorkingDepth(deep.fullDepth.get()).get(), deep.working.get()));
}

TEST(PaintPicture, SixteenBitFillIsTheSameOnAnyThreadCount)
{
    const struct {
        FREE_IMAGE_TYPE type;
        bool cmyk;
    } cases[] = {{FIT_RGB16, false}, {FIT_RGBA16, false}, {FIT_UINT16, false}, {FIT_RGBA16, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << (c.cmyk ? " CMYK" : ""));
        BitmapPtr results[2];
        for (int run = 0; run < 2; ++run) {
            DeepJob deep = MakeDeepJob(MakeDeepPicture(c.type, 80, 60, 5, c.cmyk), 9, true);
            // Smooth stripes under the noise of the low bytes give the search something to find.
            PaintTexture(deep.working.get(), 3);
            FIBITMAP* const picture = deep.fullDepth.get();
            const SampleLayout layout = SampleLayoutOf(picture);
            for (int y = 0; y < 60; ++y)
                for (int x = 0; x < 80; ++x)
                    for (int s = 0; s < SamplesPerPixel(picture); ++s) {
                        const int high = PixelAt(deep.working.get(), x, y)[layout.byteOf[s]];
                        SetSample(picture, x, y, s, static_cast<uint16_t>(high << 8 | (Sample(picture, x, y, s) & 0xFF)));
                    }
            FillCodes(deep.mask.get(), 30, 49, 22, 37, MaskHole);
            const WorkerThreadLimit threads(run == 0 ? 1 : 4);
            ASSERT_EQ(PaintPicture(deep.job, FillMethod::Patches, picture, nullptr), InpaintOutcome::Filled);
            EXPECT_TRUE(SameBytes(ReduceToWorkingDepth(deep.fullDepth.get()).get(), deep.working.get()));
            results[run] = std::move(deep.fullDepth);
        }
        EXPECT_TRUE(SameBytes(results[0].get(), results[1].get()));
    }
}
