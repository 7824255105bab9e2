// SPDX-License-Identifier: MIT
#include "engine/work_window.h"

#include <gtest/gtest.h>

TEST(WorkWindow, PatchSizeIsClampedToThreeTo128)
{
    EXPECT_EQ(ClampPatchSize(1), 3);
    EXPECT_EQ(ClampPatchSize(-20), 3);
    EXPECT_EQ(ClampPatchSize(3), 3);
    EXPECT_EQ(ClampPatchSize(128), 128);
    EXPECT_EQ(ClampPatchSize(500), 128);
}

TEST(WorkWindow, SearchGapIsRaisedToOne)
{
    EXPECT_EQ(ClampSearchGap(0), 1);
    EXPECT_EQ(ClampSearchGap(-4), 1);
    EXPECT_EQ(ClampSearchGap(1), 1);
    EXPECT_EQ(ClampSearchGap(300), 300);
}

TEST(WorkWindow, MarginIsHalfPatchPlusPatchPlusGapPlusThree)
{
    EXPECT_EQ(WindowMargin(15, 7), 32);
    EXPECT_EQ(WindowMargin(3, 1), 8);
    EXPECT_EQ(WindowMargin(8, 4), 4 + 8 + 4 + 3);
    EXPECT_EQ(WindowMargin(128, 64), 64 + 128 + 64 + 3);
}

TEST(WorkWindow, SinglePixelWithSmallestPatchGivesSixteenBySixteen)
{
    const WorkWindow window = MakeWorkWindow(20, 20, 30, 30, 3, 1);
    EXPECT_EQ(window.originX, 12);
    EXPECT_EQ(window.originY, 22);
    EXPECT_EQ(window.width, 16);
    EXPECT_EQ(window.height, 16);
}

TEST(WorkWindow, SpansMarginBeforeAndMarginMinusOneAfterTheHoleBox)
{
    const WorkWindow window = MakeWorkWindow(-5, 10, 40, 42, 15, 7);
    EXPECT_EQ(window.originX, -5 - 32);
    EXPECT_EQ(window.originY, 40 - 32);
    EXPECT_EQ(window.originX + window.width - 1, 10 + 32 - 1);
    EXPECT_EQ(window.originY + window.height - 1, 42 + 32 - 1);
}

TEST(WorkWindow, AbsurdGapGivesNoWindowAndNoOverflow)
{
    EXPECT_EQ(WindowMargin(128, 2147483647), 64 + 128 + 2147483647LL + 3);
    EXPECT_TRUE(WindowFitsPicture(10, 20, 10, 20, 32, 16, 100, 100));
    EXPECT_FALSE(WindowFitsPicture(10, 20, 10, 20, 32, 2147483647, 100, 100));
    EXPECT_FALSE(WindowFitsPicture(10, 20, 10, 20, 32, 30000000, 100, 100));
}
