// SPDX-License-Identifier: MIT
#include "engine/exemplar_search.h"
#include "engine/initial_front_index.h"

#include "engine/plain/plain_engine.h"
#include "test_window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr int Centre = 32;

constexpr int Edge = 15;
constexpr int Gap = 7;

// Everything excluded but the target point, which is known (filled, so it
// is no candidate itself) with colour 100, and whose patch is loaded before
// any Source is placed: a candidate is then acceptable exactly when its
// centre is Source, even where it lies inside the target patch.
class CandidateRing : public ::testing::Test {
protected:
    CandidateRing()
        : window(65, 65, 1, MaskExcluded)
    {
        window.Code(Centre, Centre) = MaskFilled;
        window.SetAll(Centre, Centre, 100);
        known = LoadTarget(window.View(), Centre, Centre, Edge, 1, TestScratch());
    }
    void PlaceSource(int du, int dv, int value)
    {
        window.Code(Centre + du, Centre + dv) = MaskSource;
        window.SetAll(Centre + du, Centre + dv, value);
    }
    bool Search()
    {
        return SearchExemplar(window.View(), Centre, Centre, Edge, Gap, known, 1, TestScratch());
    }
    WindowPoint Offset() const { return {BestMatch.x - Centre, BestMatch.y - Centre}; }

    TestWindow window;
    int known = 0;
};

void ExpectPlanesZero(const PatchPlanes& planes, int i, int j)
{
    for (int p = 0; p < 5; ++p)
        EXPECT_EQ(planes.plane[p][i][j], 0) << "plane " << p << " at " << i << "," << j;
}

} // namespace

TEST(SearchStep, GrowsWithThePatchEdge)
{
    EXPECT_EQ(SearchStepFor(47), 1);
    EXPECT_EQ(SearchStepFor(48), 2);
    EXPECT_EQ(SearchStepFor(128), 4);
    for (int s = 3; s <= 128; ++s) {
        const int expected = s <= 47 ? 1 : s <= 79 ? 2 : s <= 111 ? 3 : 4;
        EXPECT_EQ(SearchStepFor(s), expected) << s;
    }
}

TEST_F(CandidateRing, RingForPatch15AndGap7IsTheOuterSquareWithoutTheInnerOne)
{
    int accepted = 0;
    for (int dv = -24; dv <= 24; ++dv) {
        for (int du = -24; du <= 24; ++du) {
            if (du == 0 && dv == 0)
                continue;
            PlaceSource(du, dv, 100);
            const bool found = Search();
            window.Code(Centre + du, Centre + dv) = MaskExcluded;
            const bool inOuter = std::abs(du) <= 22 && std::abs(dv) <= 22;
            const bool inInner = std::abs(du) < 7 && std::abs(dv) < 7;
            ASSERT_EQ(found, inOuter && !inInner) << du << "," << dv;
            if (found) {
                ++accepted;
                ASSERT_EQ(Offset(), (WindowPoint{du, dv}));
            }
        }
    }
    EXPECT_EQ(accepted, 45 * 45 - 13 * 13);
}

TEST_F(CandidateRing, EqualCostsGoToTheFirstCandidateOfTheFirstStrip)
{
    // Strip 1 runs u outer, v inner over the lines above the inner square.
    PlaceSource(-20, -15, 100);
    PlaceSource(-21, -10, 100);
    PlaceSource(20, 20, 100);
    ASSERT_TRUE(Search());
    EXPECT_EQ(Offset(), (WindowPoint{-21, -10}));
}

TEST_F(CandidateRing, StripTwoComesBeforeTheSideStrips)
{
    PlaceSource(-20, -3, 100); // strip 3
    PlaceSource(20, 7, 100);   // strip 2, on the line shared with strip 4
    PlaceSource(21, 20, 100);  // strip 2
    ASSERT_TRUE(Search());
    EXPECT_EQ(Offset(), (WindowPoint{20, 7}));
}

TEST_F(CandidateRing, SideStripsRunLineByLineLeftStripFirst)
{
    PlaceSource(10, -5, 100);  // strip 4
    PlaceSource(-15, -3, 100); // strip 3
    PlaceSource(-20, -2, 100); // strip 3
    ASSERT_TRUE(Search());
    EXPECT_EQ(Offset(), (WindowPoint{-15, -3}));
}

TEST_F(CandidateRing, LowerCostWinsWhereverItIsTried)
{
    PlaceSource(-22, -22, 110);
    PlaceSource(0, -7, 96);
    PlaceSource(22, 0, 106);
    PlaceSource(9, 3, 104); // strip 4, cost 4 against the 4 of (0, -7)
    ASSERT_TRUE(Search());
    EXPECT_EQ(Offset(), (WindowPoint{0, -7}));
    // The exemplar holds the winner's patch: its centre pixel, nothing else.
    EXPECT_EQ(ExemplarPlanes.plane[0][7][7], 1);
    EXPECT_EQ(ExemplarPlanes.plane[1][7][7], 96);
    ExpectPlanesZero(ExemplarPlanes, 7, 6);
    ExpectPlanesZero(ExemplarPlanes, 0, 14);
}

TEST_F(CandidateRing, CandidateMustFaceEveryKnownTargetPositionWithSource)
{
    // A second known target position, one column right of the point.
    window.Code(Centre + 1, Centre) = MaskSource;
    window.SetAll(Centre + 1, Centre, 100);
    known = LoadTarget(window.View(), Centre, Centre, Edge, 1, TestScratch());
    ASSERT_EQ(known, 2);
    for (int code : {int(MaskFilled), int(MaskOutline), int(MaskExcluded), int(MaskHole), 221}) {
        PlaceSource(-10, -20, 100);
        window.Code(Centre - 9, Centre - 20) = static_cast<uint8_t>(code);
        window.SetAll(Centre - 9, Centre - 20, 100);
        EXPECT_FALSE(Search()) << code;
    }
    window.Code(Centre - 9, Centre - 20) = MaskSource;
    ASSERT_TRUE(Search());
    EXPECT_EQ(Offset(), (WindowPoint{-10, -20}));
}

TEST_F(CandidateRing, CandidateCentredOnAnyCodeButSourceIsSkipped)
{
    for (int code : {int(MaskFilled), int(MaskDiffused), 221, int(MaskOutline)}) {
        PlaceSource(-15, -15, 100);
        window.Code(Centre - 15, Centre - 15) = static_cast<uint8_t>(code);
        EXPECT_FALSE(Search()) << code;
    }
}

TEST(ExemplarSearch, TargetWithoutKnownPositionsNeverMatches)
{
    TestWindow window(40, 40, 3);
    window.SetCodes(17, 23, 17, 23, MaskHole);
    const int known = LoadTarget(window.View(), 20, 20, 7, 1, TestScratch());
    EXPECT_EQ(known, 0);
    EXPECT_FALSE(SearchExemplar(window.View(), 20, 20, 7, 3, known, 1, TestScratch()));
}

TEST(PlainSearch, TargetLoadFillsOnlySampledPositions)
{
    TestWindow window(12, 12, 1);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            window.SetAll(x, y, 10 * x + y);
    window.Code(4, 4) = MaskHole;    // offset (0, 0) of the patch around (6, 6)
    window.Code(6, 4) = MaskOutline; // offset (2, 0)
    window.Code(8, 8) = MaskFilled;  // offset (4, 4): known
    for (int p = 0; p < 5; ++p)
        for (int i = 0; i < 5; ++i)
            for (int j = 0; j < 5; ++j)
                TargetPlanes.plane[p][i][j] = -9;

    const int known = plain::LoadTarget(window.View(), 6, 6, 5, 2, TestScratch());
    EXPECT_EQ(known, 7);
    ExpectPlanesZero(TargetPlanes, 0, 0);
    ExpectPlanesZero(TargetPlanes, 2, 0);
    EXPECT_EQ(TargetPlanes.plane[0][4][4], 1);
    EXPECT_EQ(TargetPlanes.plane[1][4][4], 88);
    EXPECT_EQ(TargetPlanes.plane[0][4][0], 1);
    EXPECT_EQ(TargetPlanes.plane[1][4][0], 84);
    // Byte planes past a one-byte pixel are zero, not the next pixel's byte.
    for (int p = 2; p < 5; ++p)
        EXPECT_EQ(TargetPlanes.plane[p][4][0], 0) << p;
    // Positions between the samples keep what was there.
    EXPECT_EQ(TargetPlanes.plane[0][1][1], -9);
    EXPECT_EQ(TargetPlanes.plane[1][3][2], -9);
}

// The cost as the plain engine computes it, which the fast search must match.
TEST(PlainSearch, CostIsTheMeanDifferencePerChannelOverTheOverlap)
{
    for (int p = 0; p < 5; ++p)
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                TargetPlanes.plane[p][i][j] = plain::CandidatePlanes.plane[p][i][j] = 0;
    auto set = [](PatchPlanes& planes, int i, int j, int b0, int b1, int b2, int b3) {
        planes.plane[0][i][j] = 1;
        planes.plane[1][i][j] = b0;
        planes.plane[2][i][j] = b1;
        planes.plane[3][i][j] = b2;
        planes.plane[4][i][j] = b3;
    };
    set(TargetPlanes, 0, 0, 10, 20, 30, 0);
    set(plain::CandidatePlanes, 0, 0, 13, 20, 25, 200);
    set(TargetPlanes, 2, 2, 0, 0, 0, 0);
    set(plain::CandidatePlanes, 2, 2, 0, 0, 4, 0);
    set(TargetPlanes, 1, 0, 90, 90, 90, 0); // the candidate does not have it
    set(TargetPlanes, 1, 1, 0, 0, 0, 0);
    set(plain::CandidatePlanes, 1, 1, 60, 0, 0, 0); // not sampled with step 2

    const plain::PatchComparison full = plain::PatchCost(3, 3, 1);
    EXPECT_EQ(full.overlap, 3);
    EXPECT_EQ(full.cost, 72.0 / 9.0);
    const plain::PatchComparison sampled = plain::PatchCost(3, 3, 2);
    EXPECT_EQ(sampled.overlap, 2);
    EXPECT_EQ(sampled.cost, 2.0);
    const plain::PatchComparison fourBytes = plain::PatchCost(3, 4, 2);
    EXPECT_EQ(fourBytes.cost, 212.0 / 8.0);

    plain::CandidatePlanes.plane[0][0][0] = 0;
    plain::CandidatePlanes.plane[0][2][2] = 0;
    plain::CandidatePlanes.plane[0][1][1] = 0;
    const plain::PatchComparison none = plain::PatchCost(3, 3, 1);
    EXPECT_EQ(none.overlap, 0);
    EXPECT_EQ(none.cost, 3000000.0);
}

TEST(SearchCentre, FirstPassSearchesAroundThePointItself)
{
    const std::vector<WindowPoint> front = {{5, 5}};
    EXPECT_EQ(SearchCentre(9, 9, true, InitialFrontIndex(front)), (WindowPoint{9, 9}));
}

TEST(SearchCentre, EqualDistancesGoToTheEarliestInitialPoint)
{
    const std::vector<WindowPoint> front = {{20, 20}, {10, 5}, {5, 10}, {9, 4}};
    EXPECT_EQ(SearchCentre(7, 7, false, InitialFrontIndex(front)), (WindowPoint{10, 5}));
    const std::vector<WindowPoint> other = {{20, 20}, {4, 9}, {10, 5}};
    EXPECT_EQ(SearchCentre(7, 7, false, InitialFrontIndex(other)), (WindowPoint{4, 9}));
}

TEST(SearchCentre, NoInitialPointNearerThan30000KeepsThePoint)
{
    const std::vector<WindowPoint> far = {{30000, 0}};
    EXPECT_EQ(SearchCentre(0, 0, false, InitialFrontIndex(far)), (WindowPoint{0, 0}));
    const std::vector<WindowPoint> near = {{29999, 0}};
    EXPECT_EQ(SearchCentre(0, 0, false, InitialFrontIndex(near)), (WindowPoint{29999, 0}));
    const std::vector<WindowPoint> none;
    EXPECT_EQ(SearchCentre(3, 4, false, InitialFrontIndex(none)), (WindowPoint{3, 4}));
}

// Fronts of many shapes and sizes, and points inside, beside and far outside
// them, many at equal distances: the cells must find what a plain scan finds.
TEST(SearchCentre, CellsFindWhatTheWholeFrontScanFinds)
{
    std::mt19937 random(11);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int trial = 0; trial < 200; ++trial) {
        const int spread = pick(1, trial % 2 ? 40 : 400);
        InitialFront.clear();
        for (int n = pick(1, 300); n > 0; --n)
            InitialFront.push_back({pick(0, spread), pick(0, spread / (1 + trial % 3))});
        const InitialFrontIndex index(InitialFront);
        for (int query = 0; query < 50; ++query) {
            const int x = pick(-spread - 40, 2 * spread + 40);
            const int y = pick(-spread - 40, 2 * spread + 40);
            ASSERT_EQ(index.Nearest(x, y), plain::InitialFrontIndex(InitialFront).Nearest(x, y))
                << "trial " << trial << " at " << x << "," << y;
        }
    }
    InitialFront = {{0, 0}, {29999, 29999}};
    const InitialFrontIndex index(InitialFront);
    const plain::InitialFrontIndex scan(InitialFront);
    EXPECT_EQ(index.Nearest(29999, 0), scan.Nearest(29999, 0));
    EXPECT_EQ(index.Nearest(14999, 14999), scan.Nearest(14999, 14999));
    InitialFront.clear();
}
