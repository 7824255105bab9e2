// SPDX-License-Identifier: MIT
#include "kernels/pixel_access.h"

#include <gtest/gtest.h>

TEST(RoundToInt, HalvesGoAwayFromZero)
{
    EXPECT_EQ(RoundToInt(2.5), 3);
    EXPECT_EQ(RoundToInt(-2.5), -3);
    EXPECT_EQ(RoundToInt(254.5), 255);
    EXPECT_EQ(RoundToInt(0.5), 1);
    EXPECT_EQ(RoundToInt(-0.5), -1);
    EXPECT_EQ(RoundToInt(2.4999), 2);
    EXPECT_EQ(RoundToInt(0.49999), 0);
}
