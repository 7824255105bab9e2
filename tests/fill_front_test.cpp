// SPDX-License-Identifier: MIT
#include "engine/fill_front.h"
#include "engine/front_queue.h"
#include "engine/plain/plain_engine.h"

#include "test_window.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The 3 x 3 block around (1, 1): column 2 is hole, columns 0 and 1 Source;
// line 0 has colour 100 where known, lines 1 and 2 colour 40.
TestWindow StructureRunningIntoTheHole(int bytesPerPixel, int upperValue)
{
    TestWindow window(3, 3, bytesPerPixel);
    window.SetCodes(2, 2, 0, 2, MaskHole);
    window.SetColours(0, 2, 0, 2, 40);
    window.SetColours(0, 1, 0, 0, upperValue);
    window.SetColours(2, 2, 0, 2, 7); // hole colours must not count
    return window;
}

// The window read as pixels of bytesPerPixel bytes.
WindowView ViewWithBytes(TestWindow& window, int bytesPerPixel)
{
    WindowView view = window.View();
    view.bytesPerPixel = bytesPerPixel;
    return view;
}

// The front arrays are process-wide: start and leave them empty.
struct FrontReset {
    FrontReset()
    {
        FillFront.clear();
        InitialFront.clear();
    }
    ~FrontReset()
    {
        FillFront.clear();
        InitialFront.clear();
    }
};

GrowPoint PointAt(int x, int y, double priority)
{
    GrowPoint point;
    point.x = x;
    point.y = y;
    point.priority = priority;
    return point;
}

} // namespace

TEST(GrowPoint, WorkedPriorityExample)
{
    TestWindow window = StructureRunningIntoTheHole(3, 100);
    const GrowPoint point =
        ComputeGrowPoint(ViewWithBytes(window, 3), 1, 1, 3, FIC_RGB);
    EXPECT_EQ(point.x, 1);
    EXPECT_EQ(point.y, 1);
    EXPECT_EQ(point.holeNeighbours, 3);
    EXPECT_EQ(point.normalX, 128.0);
    EXPECT_EQ(point.normalY, 0.0);
    EXPECT_EQ(point.gradientY, 40.0);
    EXPECT_EQ(point.gradientX, 20.0);
    EXPECT_EQ(point.priority, 25600.0);
}

TEST(GrowPoint, ColourDifferencesTruncateTowardZero)
{
    // Line 0 carries 38 where known: row sums 116 against 120 give -4 / 3 = -1,
    // column sums 118 against 120 give -2 / 3 = 0.
    TestWindow window = StructureRunningIntoTheHole(3, 38);
    const GrowPoint point =
        ComputeGrowPoint(ViewWithBytes(window, 3), 1, 1, 3, FIC_RGB);
    EXPECT_EQ(point.gradientY, -1.0);
    EXPECT_EQ(point.gradientX, 0.0);
    EXPECT_EQ(point.priority, 640.0);
}

TEST(GrowPoint, GradientIsTheMeanOverChannels)
{
    TestWindow window = StructureRunningIntoTheHole(4, 40);
    window.Pixel(0, 0)[1] = 100; // one channel of one pixel: dY = 60 / 3, dX = 60 / 3
    const GrowPoint point =
        ComputeGrowPoint(ViewWithBytes(window, 4), 1, 1, 3, FIC_RGB);
    EXPECT_EQ(point.gradientY, 5.0);
    EXPECT_EQ(point.gradientX, 5.0);
    EXPECT_EQ(point.priority, 5.0 * 128.0 * 5);
}

TEST(GrowPoint, UnknownCodesBelow220TakeTheCentreColour)
{
    TestWindow window(3, 3, 1);
    window.SetColours(0, 2, 0, 2, 50);
    window.Code(0, 0) = MaskOutline;
    window.Pixel(0, 0)[0] = 250;
    window.Code(1, 0) = MaskExcluded;
    window.Pixel(1, 0)[0] = 250;
    window.Code(2, 2) = MaskHole;
    window.Pixel(2, 2)[0] = 0;
    window.Code(2, 0) = 221; // known
    window.Pixel(2, 0)[0] = 80;
    const GrowPoint point =
        ComputeGrowPoint(ViewWithBytes(window, 1), 1, 1, 1, FIC_MINISBLACK);
    EXPECT_EQ(point.gradientY, 10.0);
    EXPECT_EQ(point.gradientX, -10.0);
}

TEST(GrowPoint, FlatCmykNeighbourhoodHasGradient255)
{
    TestWindow window = StructureRunningIntoTheHole(4, 40);
    const GrowPoint point =
        ComputeGrowPoint(ViewWithBytes(window, 4), 1, 1, 3, FIC_CMYK);
    EXPECT_EQ(point.gradientY, 255.0);
    EXPECT_EQ(point.gradientX, 255.0);
    EXPECT_EQ(point.priority, 255.0 * (128.0 + 0.0) * 5);
}

TEST(GrowPoint, CmykReplacesEachChannelDifferenceBeforeAveraging)
{
    TestWindow window = StructureRunningIntoTheHole(4, 100);
    const GrowPoint point =
        ComputeGrowPoint(ViewWithBytes(window, 4), 1, 1, 3, FIC_CMYK);
    EXPECT_EQ(point.gradientY, 215.0);
    EXPECT_EQ(point.gradientX, 235.0);
}

TEST(FillFront, KnownPixelsWithOneToSixHoleNeighboursJoinInRowMajorOrder)
{
    const FrontReset reset;
    // Around the 3 x 3 hole at 3..5: corners touch one hole pixel, the middle
    // of each side three, the others two.
    auto ExpectedHoleNeighbours = [](int x, int y) {
        const bool cornerX = x == 2 || x == 6;
        const bool cornerY = y == 2 || y == 6;
        if (cornerX && cornerY)
            return 1;
        return x == 4 || y == 4 ? 3 : 2;
    };
    TestWindow window(9, 9, 1);
    window.SetCodes(3, 5, 3, 5, MaskHole);
    BuildFront(window.View(), 3, 5, 3, 5, FIC_MINISBLACK, true, TestScratch());
    ASSERT_EQ(FillFront.size(), 16u);
    ASSERT_EQ(InitialFront.size(), 16u);
    std::size_t n = 0;
    for (int y = 2; y <= 6; ++y) {
        for (int x = 2; x <= 6; ++x) {
            if (x >= 3 && x <= 5 && y >= 3 && y <= 5)
                continue;
            EXPECT_EQ(FillFront[n].x, x);
            EXPECT_EQ(FillFront[n].y, y);
            EXPECT_EQ(InitialFront[n], (WindowPoint{x, y}));
            EXPECT_EQ(FillFront[n].holeNeighbours, ExpectedHoleNeighbours(x, y)) << x << "," << y;
            ++n;
        }
    }
}

TEST(FillFront, LaterPassesLeaveTheInitialFrontAlone)
{
    const FrontReset reset;
    TestWindow window(5, 5, 1);
    window.Code(2, 2) = MaskHole;
    InitialFront.push_back({40, 40});
    BuildFront(window.View(), 2, 2, 2, 2, FIC_MINISBLACK, false, TestScratch());
    EXPECT_EQ(FillFront.size(), 8u);
    ASSERT_EQ(InitialFront.size(), 1u);
    EXPECT_EQ(InitialFront[0], (WindowPoint{40, 40}));
}

TEST(FillFront, SevenHoleNeighboursKeepAPixelOut)
{
    const FrontReset reset;
    // (2, 2) is known with seven hole neighbours; (6, 2) with six.
    TestWindow window(9, 5, 1);
    window.SetCodes(1, 3, 1, 3, MaskHole);
    window.Code(2, 2) = MaskSource;
    window.Code(3, 3) = MaskSource;
    window.SetCodes(5, 7, 1, 3, MaskHole);
    window.Code(6, 2) = MaskFilled;
    window.Code(7, 3) = MaskSource;
    window.Code(5, 3) = MaskSource;
    BuildFront(window.View(), 2, 6, 2, 2, FIC_MINISBLACK, true, TestScratch());
    bool sevenJoined = false;
    bool sixJoined = false;
    for (const GrowPoint& point : FillFront) {
        sevenJoined |= point.x == 2 && point.y == 2;
        sixJoined |= point.x == 6 && point.y == 2;
        EXPECT_GE(point.holeNeighbours, 1);
        EXPECT_LE(point.holeNeighbours, 6);
    }
    EXPECT_FALSE(sevenJoined);
    EXPECT_TRUE(sixJoined);
}

TEST(FillFront, KnownPixelsWithoutHoleNeighboursStayOut)
{
    const FrontReset reset;
    // A hole box wider than what is left of the hole, as in a later pass.
    TestWindow window(8, 5, 1);
    window.Code(2, 2) = MaskHole;
    BuildFront(window.View(), 2, 5, 2, 2, FIC_MINISBLACK, false, TestScratch());
    ASSERT_EQ(FillFront.size(), 8u);
    for (const GrowPoint& point : FillFront) {
        EXPECT_LE(point.x, 3);
        EXPECT_EQ(point.holeNeighbours, 1);
    }
}

TEST(FillFront, OnlyCodesAbove220Join)
{
    const FrontReset reset;
    TestWindow window(7, 5, 1);
    window.Code(3, 2) = MaskHole;
    window.Code(2, 1) = MaskOutline;
    window.Code(3, 1) = MaskExcluded;
    window.Code(4, 1) = 220;
    window.Code(2, 2) = 221;
    window.Code(4, 2) = MaskDiffused;
    window.Code(2, 3) = MaskFilled;
    window.Code(3, 3) = MaskSource;
    window.Code(4, 3) = MaskHole; // a hole is never a front point
    BuildFront(window.View(), 3, 3, 2, 2, FIC_MINISBLACK, true, TestScratch());
    std::vector<WindowPoint> joined;
    for (const GrowPoint& point : FillFront)
        joined.push_back({point.x, point.y});
    EXPECT_EQ(joined, (std::vector<WindowPoint>{{2, 2}, {4, 2}, {2, 3}, {3, 3}}));
}

// The order in which the queue hands out FillFront's points, by column.
std::vector<int> ChoiceOrder(const TestWindow& window, FrontQueue& queue)
{
    std::vector<int> columns;
    GrowPoint point;
    queue.Start();
    while (queue.Next(window.mask.data(), window.width, point))
        columns.push_back(point.x);
    return columns;
}

TEST(FrontQueue, TiesGoToTheLaterPoint)
{
    const FrontReset reset;
    TestWindow window(10, 3, 1);
    window.SetCodes(0, 9, 0, 0, MaskHole);
    FillFront = {PointAt(1, 1, 5.0), PointAt(3, 1, 9.0), PointAt(5, 1, 9.0), PointAt(7, 1, 2.0)};
    FrontQueue queue;
    EXPECT_EQ(ChoiceOrder(window, queue), (std::vector<int>{5, 3, 1, 7}));
    EXPECT_EQ(queue.Removed(), 0u);
}

TEST(FrontQueue, AllZeroPrioritiesGoInFrontOrderAfterTheRest)
{
    const FrontReset reset;
    TestWindow window(10, 3, 1);
    window.SetCodes(3, 9, 0, 0, MaskHole);
    // (1, 1) has no hole neighbour and is dropped; the zeros come first to last.
    FillFront = {PointAt(1, 1, 0.0), PointAt(4, 1, 0.0), PointAt(6, 1, 0.0), PointAt(8, 1, 0.5)};
    FrontQueue queue;
    EXPECT_EQ(ChoiceOrder(window, queue), (std::vector<int>{8, 4, 6}));
    EXPECT_EQ(queue.Removed(), 1u);
}

TEST(FrontQueue, PointsWhoseHolesCloseAreDroppedAndCounted)
{
    const FrontReset reset;
    // Hole pixels next to the living points at x = 1, 5, 9 only.
    TestWindow window(12, 4, 1);
    window.Code(1, 0) = MaskHole;
    window.Code(5, 0) = MaskHole;
    window.Code(9, 0) = MaskHole;
    FillFront = {PointAt(1, 1, 1.0), PointAt(3, 2, 50.0), PointAt(5, 1, 9.0), PointAt(7, 2, 60.0),
                 PointAt(9, 1, 3.0)};
    FrontQueue queue;
    queue.Start();
    GrowPoint point;
    ASSERT_TRUE(queue.Next(window.mask.data(), window.width, point));
    EXPECT_EQ(point.x, 5);
    EXPECT_EQ(queue.Removed(), 2u);
    // Filling (9, 0) kills the point at x = 9 before its turn.
    window.Code(9, 0) = MaskFilled;
    ASSERT_TRUE(queue.Next(window.mask.data(), window.width, point));
    EXPECT_EQ(point.x, 1);
    EXPECT_FALSE(queue.Next(window.mask.data(), window.width, point));
    EXPECT_EQ(queue.Removed(), 3u);
}

TEST(FrontQueue, OnlyDeadPointsGiveNoChoice)
{
    const FrontReset reset;
    TestWindow window(6, 3, 1);
    FillFront = {PointAt(1, 1, 4.0), PointAt(3, 1, 7.0)};
    FrontQueue queue;
    EXPECT_TRUE(ChoiceOrder(window, queue).empty());
    EXPECT_EQ(queue.Removed(), 2u);
}

// The plain sweep the queue must agree with.
TEST(PlainSweep, RemovesDeadPointsAndCorrectsTheBestIndex)
{
    const FrontReset reset;
    TestWindow window(12, 4, 1);
    window.Code(1, 0) = MaskHole;
    window.Code(5, 0) = MaskHole;
    window.Code(9, 0) = MaskHole;
    FillFront = {PointAt(1, 1, 1.0), PointAt(3, 2, 50.0), PointAt(5, 1, 9.0), PointAt(7, 2, 60.0),
                 PointAt(9, 1, 3.0)};
    const plain::FrontSelection selection = plain::SelectNext(window.mask.data(), window.width);
    EXPECT_EQ(selection.removed, 2);
    ASSERT_EQ(FillFront.size(), 3u);
    EXPECT_EQ(selection.index, 1);
    EXPECT_EQ(FillFront[static_cast<std::size_t>(selection.index)].x, 5);
}
