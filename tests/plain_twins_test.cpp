// SPDX-License-Identifier: MIT
// Every fast step against its plain twin, on random pictures and windows
// strewn with every kind of code: the two must agree to the byte.
#include "engine/exemplar_search.h"
#include "engine/fill_front.h"
#include "engine/front_queue.h"
#include "engine/plain/plain_engine.h"
#include "engine/prepare_window.h"
#include "engine/scan_rectangle.h"
#include "engine/write_back.h"
#include "test_bitmaps.h"
#include "test_window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int AnyCode[] = {MaskExcluded, MaskHole, MaskHole, MaskOutline, MaskFilled, 220, 221, MaskDiffused,
                           MaskSource, MaskSource, MaskSource};

class Random {
public:
    explicit Random(uint32_t seed)
        : m_engine(seed)
    {
    }
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_engine); }
    int Code() { return AnyCode[Pick(0, 10)]; }

private:
    std::mt19937 m_engine;
};

// A textured picture of 8, 24 or 32 bits and a mask of random codes.
struct RandomPicture {
    Bitmap image;
    Bitmap mask;
    int width;
    int height;
    int bytesPerPixel;

    RandomPicture(Random& random, uint32_t seed)
        : width(random.Pick(1, 40))
        , height(random.Pick(1, 40))
        , bytesPerPixel(std::vector<int>{1, 3, 4}[static_cast<std::size_t>(random.Pick(0, 2))])
    {
        image = MakeBitmap(width, height, bytesPerPixel * 8);
        mask = MakeBitmap(width, height, 8);
        PaintTexture(image.get(), seed);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                SetCode(mask.get(), x, y, random.Code());
    }
    PictureView View() const { return {image.get(), mask.get(), width, height, bytesPerPixel}; }
    RandomPicture Clone() const { return RandomPicture(*this, 0); }

private:
    RandomPicture(const RandomPicture& other, int)
        : image(CloneBitmap(other.image.get()))
        , mask(CloneBitmap(other.mask.get()))
        , width(other.width)
        , height(other.height)
        , bytesPerPixel(other.bytesPerPixel)
    {
    }
};

// A window that may reach past any side of the picture.
WorkWindow RandomWindow(Random& random, const RandomPicture& picture)
{
    WorkWindow window;
    window.originX = random.Pick(-6, picture.width);
    window.originY = random.Pick(-6, picture.height);
    window.width = random.Pick(1, picture.width + 8);
    window.height = random.Pick(1, picture.height + 8);
    const std::size_t pixels = static_cast<std::size_t>(window.width) * window.height;
    window.maskBuffer.assign(pixels + SearchReadPadding, 0x5A);
    window.colourBuffer.assign(pixels * picture.bytesPerPixel + SearchReadPadding, 0x5A);
    return window;
}

void ExpectSamePictures(const RandomPicture& fast, const RandomPicture& plainTwin, uint32_t seed)
{
    EXPECT_TRUE(SameBytes(fast.image.get(), plainTwin.image.get())) << "seed " << seed;
    EXPECT_TRUE(SameBytes(fast.mask.get(), plainTwin.mask.get())) << "seed " << seed;
}

// A window of random codes and colours inside an excluded border wide enough
// for every read of the steps under test.
TestWindow RandomTestWindow(Random& random, int width, int height, int border)
{
    TestWindow window(width, height, std::vector<int>{1, 3, 4}[static_cast<std::size_t>(random.Pick(0, 2))],
                      MaskExcluded);
    for (int y = border; y < height - border; ++y) {
        for (int x = border; x < width - border; ++x) {
            window.Code(x, y) = static_cast<uint8_t>(random.Code());
            for (int k = 0; k < window.bytesPerPixel; ++k)
                window.Pixel(x, y)[k] = static_cast<uint8_t>(random.Pick(0, 3) == 0 ? random.Pick(0, 255) : 100 + x);
        }
    }
    return window;
}

void ExpectSameFront(const std::vector<GrowPoint>& fast, const std::vector<GrowPoint>& plainTwin, uint32_t seed)
{
    ASSERT_EQ(fast.size(), plainTwin.size()) << "seed " << seed;
    for (std::size_t i = 0; i < fast.size(); ++i) {
        EXPECT_EQ(fast[i].x, plainTwin[i].x) << "seed " << seed;
        EXPECT_EQ(fast[i].y, plainTwin[i].y) << "seed " << seed;
        EXPECT_EQ(fast[i].priority, plainTwin[i].priority) << "seed " << seed;
    }
}

} // namespace

TEST(PlainTwins, ScanRectangleIsCountedAndCopiedAlike)
{
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        Random random(seed);
        const RandomPicture source(random, seed);
        RandomPicture fast = source.Clone();
        RandomPicture plainTwin = source.Clone();
        FillBitmap(fast.image.get(), {9, 9, 9, 9});
        FillBitmap(plainTwin.image.get(), {9, 9, 9, 9});
        InpaintJob job = MakeJob(source.image.get(), source.mask.get(), random.Pick(-3, source.width),
                                 random.Pick(-3, source.width + 3), random.Pick(-3, source.height),
                                 random.Pick(-3, source.height + 3), 9, 4, false);

        const ScanCounts counts = CountScanRectangle(job);
        const ScanCounts plainCounts = plain::CountScanRectangle(job);
        EXPECT_EQ(counts.holeCount, plainCounts.holeCount) << "seed " << seed;
        EXPECT_EQ(counts.knownCount, plainCounts.knownCount) << "seed " << seed;
        EXPECT_EQ(counts.holeBox, plainCounts.holeBox) << "seed " << seed;

        job.targetImage = fast.image.get();
        CopySourcePixels(job, source.bytesPerPixel);
        job.targetImage = plainTwin.image.get();
        plain::CopySourcePixels(job, source.bytesPerPixel);
        ExpectSamePictures(fast, plainTwin, seed);
    }
}

TEST(PlainTwins, WindowIsPreparedWrittenBackAndPromotedAlike)
{
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        Random random(seed);
        const RandomPicture source(random, seed);
        WorkWindow fastWindow = RandomWindow(random, source);
        WorkWindow plainWindow = fastWindow;
        PrepareWindow(fastWindow, source.View());
        plain::PrepareWindow(plainWindow, source.View());
        ASSERT_EQ(fastWindow.maskBuffer, plainWindow.maskBuffer) << "seed " << seed;
        ASSERT_EQ(fastWindow.colourBuffer, plainWindow.colourBuffer) << "seed " << seed;

        // New codes and colours in the window go back into fresh copies.
        for (std::size_t i = 0; i + SearchReadPadding < fastWindow.maskBuffer.size(); ++i)
            fastWindow.maskBuffer[i] = static_cast<uint8_t>(random.Code());
        for (std::size_t i = 0; i + SearchReadPadding < fastWindow.colourBuffer.size(); ++i)
            fastWindow.colourBuffer[i] = static_cast<uint8_t>(random.Pick(0, 255));
        RandomPicture fast = source.Clone();
        RandomPicture plainTwin = source.Clone();
        WriteBackWindow(fastWindow, fast.View());
        plain::WriteBackWindow(fastWindow, plainTwin.View());
        ExpectSamePictures(fast, plainTwin, seed);

        const int x0 = random.Pick(-3, source.width), x1 = random.Pick(x0 - 1, source.width + 3);
        const int y0 = random.Pick(-3, source.height), y1 = random.Pick(y0 - 1, source.height + 3);
        PromoteFilledCodes(x0, x1, y0, y1, fast.mask.get());
        plain::PromoteFilledCodes(x0, x1, y0, y1, plainTwin.mask.get());
        ExpectSamePictures(fast, plainTwin, seed);
    }
}

TEST(PlainTwins, FrontIsBuiltAlike)
{
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        Random random(seed);
        TestWindow window = RandomTestWindow(random, random.Pick(5, 40), random.Pick(5, 40), 1);
        const int minX = random.Pick(2, window.width - 3), maxX = random.Pick(minX, window.width - 3);
        const int minY = random.Pick(2, window.height - 3), maxY = random.Pick(minY, window.height - 3);
        const int colourType = window.bytesPerPixel == 4 && random.Pick(0, 1) ? FIC_CMYK : FIC_RGB;
        const bool firstPass = random.Pick(0, 1) == 1;

        FillFront.clear();
        InitialFront.clear();
        BuildFront(window.View(), minX, maxX, minY, maxY, colourType, firstPass, TestScratch());
        const std::vector<GrowPoint> fastFront = FillFront;
        const std::vector<WindowPoint> fastInitial = InitialFront;
        FillFront.clear();
        InitialFront.clear();
        plain::BuildFront(window.View(), minX, maxX, minY, maxY, colourType, firstPass, TestScratch());
        ExpectSameFront(fastFront, FillFront, seed);
        EXPECT_EQ(fastInitial, InitialFront) << "seed " << seed;
    }
    FillFront.clear();
    InitialFront.clear();
}

// Both queues hand out the same points in the same order and drop the same
// ones, while the holes close between the choices.
TEST(PlainTwins, FrontIsHandedOutAlike)
{
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        Random random(seed);
        TestWindow window(24, 24, 1, MaskSource);
        for (int y = 1; y < 23; ++y)
            for (int x = 1; x < 23; ++x)
                if (random.Pick(0, 2) == 0)
                    window.Code(x, y) = MaskHole;
        std::vector<GrowPoint> front;
        for (int n = random.Pick(0, 60); n > 0; --n) {
            GrowPoint point;
            point.x = random.Pick(1, 22);
            point.y = random.Pick(1, 22);
            point.priority = random.Pick(0, 3) == 0 ? 0.0 : random.Pick(0, 6) * 0.5;
            front.push_back(point);
        }
        const std::vector<uint8_t> codes = window.mask;
        // Each choice closes some hole neighbours of the chosen point, the
        // same ones for both queues as long as they agree.
        auto handOut = [&](auto& queue, std::size_t& removed) {
            Random closing(seed);
            window.mask = codes;
            FillFront = front;
            std::vector<WindowPoint> order;
            GrowPoint point;
            queue.Start();
            while (queue.Next(window.mask.data(), window.width, point)) {
                order.push_back({point.x, point.y});
                for (const NeighbourOffset& offset : NeighbourOffsets)
                    if (window.Code(point.x + offset.dx, point.y + offset.dy) == MaskHole && closing.Pick(0, 1))
                        window.Code(point.x + offset.dx, point.y + offset.dy) = MaskFilled;
            }
            removed = queue.Removed();
            return order;
        };
        FrontQueue fastQueue;
        plain::FrontQueue plainQueue;
        std::size_t fastRemoved = 0, plainRemoved = 0;
        const std::vector<WindowPoint> fastOrder = handOut(fastQueue, fastRemoved);
        const std::vector<WindowPoint> plainOrder = handOut(plainQueue, plainRemoved);
        EXPECT_EQ(fastOrder, plainOrder) << "seed " << seed;
        EXPECT_EQ(fastRemoved, plainRemoved) << "seed " << seed;
    }
    FillFront.clear();
}

// Random targets and rings in windows of every depth, with sampled patches
// too: the same winner, and the same exemplar at the sampled positions.
TEST(PlainTwins, SearchFindsTheSameExemplar)
{
    const int edges[] = {3, 4, 5, 7, 9, 15, 48};
    for (uint32_t seed = 1; seed <= 120; ++seed) {
        Random random(seed);
        const int s = edges[random.Pick(0, 6)];
        const int g = random.Pick(1, 4);
        const int border = s / 2 + s + g + 1;
        const int side = 2 * border + random.Pick(1, 12);
        TestWindow window = RandomTestWindow(random, side, side, 0);
        // Mostly Source around the target, so that candidates get accepted.
        for (std::size_t i = 0; i < window.mask.size() - SearchReadPadding; ++i)
            if (random.Pick(0, 4) != 0)
                window.mask[i] = MaskSource;
        const int x = random.Pick(border, side - border - 1);
        const int y = random.Pick(border, side - border - 1);
        const int searchStep = SearchStepFor(s);

        const int known = LoadTarget(window.View(), x, y, s, searchStep, TestScratch());
        ASSERT_EQ(known, plain::LoadTarget(window.View(), x, y, s, searchStep, TestScratch())) << "seed " << seed;
        BestMatch = {-1, -1};
        const bool found = SearchExemplar(window.View(), x, y, s, g, known, searchStep, TestScratch());
        const WindowPoint fastMatch = BestMatch;
        const PatchPlanes fastExemplar = ExemplarPlanes;
        BestMatch = {-1, -1};
        ASSERT_EQ(found, plain::SearchExemplar(window.View(), x, y, s, g, known, searchStep, TestScratch()))
            << "seed " << seed;
        if (!found)
            continue;
        EXPECT_EQ(fastMatch, BestMatch) << "seed " << seed;
        for (int i = 0; i < s; i += searchStep)
            for (int j = 0; j < s; j += searchStep)
                for (int p = 0; p < 5; ++p)
                    ASSERT_EQ(fastExemplar.plane[p][i][j], ExemplarPlanes.plane[p][i][j]) << "seed " << seed;
    }
}
