// SPDX-License-Identifier: MIT
// Which recorded pointer positions a stroke has not taken yet, when several
// share the millisecond of the event they were merged into.
#include "canvas/pointer_history.h"

#include <gtest/gtest.h>

TEST(PositionsAfter, TakesWhatFollowsTheLastTakenPositionWithinItsMillisecond)
{
    const std::vector<PointerRecord> records = {
        {9, {1, 1}}, {10, {2, 2}}, {10, {3, 3}}, {10, {4, 4}}, {11, {5, 5}}, {11, {6, 6}},
    };
    // The stroke took (3, 3) at 10: (4, 4) came in the same millisecond.
    EXPECT_EQ(PositionsAfter(records, 10, {3, 3}), (std::vector<QPoint>{{4, 4}, {5, 5}, {6, 6}}));
    // A place the millisecond does not hold: all of it was taken.
    EXPECT_EQ(PositionsAfter(records, 10, {8, 8}), (std::vector<QPoint>{{5, 5}, {6, 6}}));
    // Back at an earlier place in the same millisecond: the last visit counts.
    const std::vector<PointerRecord> loop = {{20, {1, 1}}, {20, {2, 2}}, {20, {1, 1}}, {20, {7, 7}}};
    EXPECT_EQ(PositionsAfter(loop, 20, {1, 1}), (std::vector<QPoint>{{7, 7}}));
    EXPECT_TRUE(PositionsAfter({}, 20, {1, 1}).empty());
}
