// SPDX-License-Identifier: MIT
#include "engine/patch_paste.h"

#include "test_window.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

constexpr int X = 10;
constexpr int Y = 10;

void ClearExemplar()
{
    for (int p = 0; p < 5; ++p)
        for (int i = 0; i < MaxPatchSize; ++i)
            for (int j = 0; j < MaxPatchSize; ++j)
                ExemplarPlanes.plane[p][i][j] = 0;
    BestMatch = {30, 30};
}

// The exemplar entry facing target offset (du, dv) of a patch of edge s.
void SetExemplar(int s, int du, int dv, std::array<int, 4> bytes)
{
    const int i = du + s / 2;
    const int j = dv + s / 2;
    ExemplarPlanes.plane[0][i][j] = 1;
    for (int k = 0; k < 4; ++k)
        ExemplarPlanes.plane[1 + k][i][j] = bytes[k];
}

bool Paste(TestWindow& window, int s, bool smoothSeam, int searchStep = 1)
{
    return PastePatch(window.View(), X, Y, s, smoothSeam, searchStep);
}

// A 40 x 40 window of filled pixels of colour 0.
TestWindow FilledWindow(int bytesPerPixel)
{
    return TestWindow(40, 40, bytesPerPixel, MaskFilled);
}

} // namespace

TEST(PastePatch, BlendWeightRisesWithTheSquaredDistance)
{
    ClearExemplar();
    TestWindow window = FilledWindow(1);
    window.SetAll(X + 2, Y + 1, 200);
    SetExemplar(8, 2, 1, {100, 0, 0, 0});
    EXPECT_FALSE(Paste(window, 8, false));
    EXPECT_EQ(window.Pixel(X + 2, Y + 1)[0], 131);
    EXPECT_EQ(window.Code(X + 2, Y + 1), MaskFilled);

    ClearExemplar();
    window.SetAll(X + 1, Y + 1, 10);
    SetExemplar(4, 1, 1, {11, 0, 0, 0});
    Paste(window, 4, false);
    EXPECT_EQ(window.Pixel(X + 1, Y + 1)[0], 11);
}

TEST(PastePatch, CentreTakesTheExemplarAndTheRimKeepsItsValue)
{
    ClearExemplar();
    TestWindow window = FilledWindow(1);
    window.SetColours(0, 39, 0, 39, 50);
    SetExemplar(8, 0, 0, {90, 0, 0, 0});
    SetExemplar(8, -4, 0, {90, 0, 0, 0}); // d² = 16: w = 1
    SetExemplar(8, 3, 3, {90, 0, 0, 0});  // d² = 18, outside the disc
    SetExemplar(8, 3, 2, {90, 0, 0, 0});  // d² = 13: w = 0.8125 -> 57.5 -> 58
    Paste(window, 8, false);
    EXPECT_EQ(window.Pixel(X, Y)[0], 90);
    EXPECT_EQ(window.Pixel(X - 4, Y)[0], 50);
    EXPECT_EQ(window.Pixel(X + 3, Y + 3)[0], 50);
    EXPECT_EQ(window.Pixel(X + 3, Y + 2)[0], 58);
}

TEST(PastePatch, EvenPatchReachesOneFurtherLeftAndUp)
{
    ClearExemplar();
    TestWindow window(40, 40, 1, MaskHole);
    for (int du = -5; du <= 5; ++du)
        for (int dv = -5; dv <= 5; ++dv)
            if (du >= -4 && du <= 3 && dv >= -4 && dv <= 3)
                SetExemplar(8, du, dv, {77, 0, 0, 0});
    EXPECT_TRUE(Paste(window, 8, false));
    for (int v = Y - 6; v <= Y + 6; ++v) {
        for (int u = X - 6; u <= X + 6; ++u) {
            const bool inside = u >= X - 4 && u <= X + 3 && v >= Y - 4 && v <= Y + 3;
            EXPECT_EQ(window.Code(u, v), inside ? MaskFilled : MaskHole) << u << "," << v;
            EXPECT_EQ(window.Pixel(u, v)[0], inside ? 77 : 0) << u << "," << v;
        }
    }
}

TEST(PastePatch, HoleInACornerIsFilledWithTheExemplarValue)
{
    ClearExemplar();
    TestWindow window = FilledWindow(1);
    window.Code(X - 3, Y - 3) = MaskHole;
    window.Code(X + 3, Y + 3) = MaskHole;
    SetExemplar(7, -3, -3, {61, 0, 0, 0});
    SetExemplar(7, 3, 3, {62, 0, 0, 0});
    EXPECT_TRUE(Paste(window, 7, false));
    EXPECT_EQ(window.Code(X - 3, Y - 3), MaskFilled);
    EXPECT_EQ(window.Pixel(X - 3, Y - 3)[0], 61);
    EXPECT_EQ(window.Code(X + 3, Y + 3), MaskFilled);
    EXPECT_EQ(window.Pixel(X + 3, Y + 3)[0], 62);
}

TEST(PastePatch, HoleFacingNoUsableExemplarPixelStaysAHole)
{
    ClearExemplar();
    TestWindow window = FilledWindow(3);
    window.Code(X, Y) = MaskHole;
    window.SetAll(X, Y, 5);
    window.SetAll(X + 1, Y, 40);
    SetExemplar(5, 1, 0, {100, 100, 100, 0});
    EXPECT_FALSE(Paste(window, 5, false));
    EXPECT_EQ(window.Code(X, Y), MaskHole);
    EXPECT_EQ(window.Pixel(X, Y)[0], 5);
    // The filled neighbour is still blended: w = 4 / 25 = 0.16 -> 0.16 * 40 + 0.84 * 100 = 90.4.
    EXPECT_EQ(window.Pixel(X + 1, Y)[2], 90);
}

TEST(PastePatch, SourcePixelsBlendOnlyWithSmoothSeam)
{
    for (bool smoothSeam : {false, true}) {
        ClearExemplar();
        TestWindow window(40, 40, 1, MaskSource);
        window.SetColours(0, 39, 0, 39, 20);
        window.Code(X + 2, Y + 2) = MaskHole;
        for (int du = -2; du <= 2; ++du)
            for (int dv = -2; dv <= 2; ++dv)
                SetExemplar(5, du, dv, {120, 0, 0, 0});
        EXPECT_TRUE(Paste(window, 5, smoothSeam));
        EXPECT_EQ(window.Pixel(X, Y)[0], smoothSeam ? 120 : 20);
        // w = 0.16: 0.16 * 20 + 0.84 * 120 = 104.
        EXPECT_EQ(window.Pixel(X + 1, Y)[0], smoothSeam ? 104 : 20);
        EXPECT_EQ(window.Pixel(X + 2, Y + 2)[0], 120);
        for (int v = Y - 2; v <= Y + 2; ++v) {
            for (int u = X - 2; u <= X + 2; ++u) {
                const int expected = u == X + 2 && v == Y + 2 ? MaskFilled : MaskSource;
                EXPECT_EQ(window.Code(u, v), expected) << u << "," << v;
            }
        }
    }
}

TEST(PastePatch, OtherCodesAreLeftAlone)
{
    ClearExemplar();
    TestWindow window(40, 40, 1, MaskOutline);
    window.SetColours(0, 39, 0, 39, 20);
    window.Code(X + 1, Y) = MaskExcluded;
    window.Code(X, Y + 1) = MaskDiffused;
    window.Code(X - 1, Y) = 221;
    for (int du = -2; du <= 2; ++du)
        for (int dv = -2; dv <= 2; ++dv)
            SetExemplar(5, du, dv, {120, 0, 0, 0});
    const std::vector<uint8_t> mask = window.mask;
    const std::vector<uint8_t> colour = window.colour;
    EXPECT_FALSE(Paste(window, 5, true));
    EXPECT_EQ(window.mask, mask);
    EXPECT_EQ(window.colour, colour);
}

TEST(PastePatch, CopiesAndBlendsEveryChannelOfThePixelOnly)
{
    for (int bytesPerPixel : {1, 3, 4}) {
        ClearExemplar();
        TestWindow window = FilledWindow(bytesPerPixel);
        window.SetColours(0, 39, 0, 39, 9);
        window.Code(X, Y + 1) = MaskHole;
        SetExemplar(5, 0, 0, {101, 102, 103, 104});
        SetExemplar(5, 0, 1, {301, 302, 303, 304}); // the low byte is pasted
        EXPECT_TRUE(Paste(window, 5, false));
        for (int k = 0; k < bytesPerPixel; ++k) {
            EXPECT_EQ(window.Pixel(X, Y)[k], 101 + k) << bytesPerPixel << " bytes, channel " << k;
            EXPECT_EQ(window.Pixel(X, Y + 1)[k], 45 + k) << bytesPerPixel << " bytes, channel " << k;
            // Neighbours on both sides keep every byte.
            EXPECT_EQ(window.Pixel(X + 1, Y)[k], 9) << bytesPerPixel << " bytes, channel " << k;
            EXPECT_EQ(window.Pixel(X - 1, Y)[k], 9) << bytesPerPixel << " bytes, channel " << k;
        }
    }
}

TEST(PastePatch, StepOneUsesThePlanesAsTheSearchLeftThem)
{
    ClearExemplar();
    TestWindow window(60, 60, 1, MaskHole);
    window.SetCodes(25, 35, 25, 35, MaskSource);
    window.SetColours(25, 35, 25, 35, 200);
    SetExemplar(5, 0, 0, {33, 0, 0, 0});
    EXPECT_TRUE(Paste(window, 5, false, 1));
    EXPECT_EQ(window.Pixel(X, Y)[0], 33);
    EXPECT_EQ(window.Code(X + 1, Y), MaskHole);
}

TEST(PastePatch, LargerStepsReloadTheExemplarFromSourcePixelsOnly)
{
    ClearExemplar();
    TestWindow window(60, 60, 3, MaskHole);
    window.SetCodes(25, 35, 25, 35, MaskSource);
    for (int y = 25; y <= 35; ++y)
        for (int x = 25; x <= 35; ++x)
            for (int k = 0; k < 3; ++k)
                window.Pixel(x, y)[k] = static_cast<uint8_t>(x + 2 * y + k);
    window.Code(31, 30) = MaskFilled; // exemplar offset (1, 0)
    window.Code(30, 31) = MaskOutline; // exemplar offset (0, 1)
    // Stale planes everywhere: the reload must replace all of them.
    for (int du = -2; du <= 2; ++du)
        for (int dv = -2; dv <= 2; ++dv)
            SetExemplar(5, du, dv, {1, 2, 3, 4});
    EXPECT_TRUE(Paste(window, 5, false, 2));

    EXPECT_EQ(window.Code(X + 1, Y), MaskHole);
    EXPECT_EQ(window.Code(X, Y + 1), MaskHole);
    for (int dv = -2; dv <= 2; ++dv) {
        for (int du = -2; du <= 2; ++du) {
            if ((du == 1 && dv == 0) || (du == 0 && dv == 1))
                continue;
            ASSERT_EQ(window.Code(X + du, Y + dv), MaskFilled) << du << "," << dv;
            for (int k = 0; k < 3; ++k)
                EXPECT_EQ(window.Pixel(X + du, Y + dv)[k], (30 + du) + 2 * (30 + dv) + k) << du << "," << dv;
        }
    }
    for (int p = 0; p < 5; ++p)
        EXPECT_EQ(ExemplarPlanes.plane[p][3][2], 0) << p;
    EXPECT_EQ(ExemplarPlanes.plane[4][2][2], 0); // past the three bytes
    EXPECT_EQ(ExemplarPlanes.plane[3][2][2], 30 + 60 + 2);
}

TEST(PastePatch, BlendRoundsTheSumOfTwoSeparateProducts)
{
    // s = 12, offset (5, 2): w = 29 / 36. Unfused, 215 and 17 blend to exactly
    // 176.5 and round up; a fused multiply-add gives 176.49999999999997.
    ClearExemplar();
    TestWindow window = FilledWindow(1);
    window.SetAll(X + 5, Y + 2, 215);
    SetExemplar(12, 5, 2, {17, 0, 0, 0});
    Paste(window, 12, false);
    EXPECT_EQ(window.Pixel(X + 5, Y + 2)[0], 177);
}
