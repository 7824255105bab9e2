// SPDX-License-Identifier: MIT
#include "engine/size_adaptation.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

std::pair<int, int> Adapt(int P, int G, double p, double ref)
{
    int adaptedP = -1;
    int adaptedG = -1;
    AdaptSizes(P, G, p, ref, adaptedP, adaptedG);
    return {adaptedP, adaptedG};
}

} // namespace

TEST(SizeAdaptation, ScalesWithThePriorityRatio)
{
    EXPECT_EQ(Adapt(40, 20, 250.0, 1000.0), std::make_pair(10, 5));
    EXPECT_EQ(Adapt(40, 20, 999.0, 1000.0), std::make_pair(39, 19));
}

TEST(SizeAdaptation, IsRaisedToTheFloors)
{
    EXPECT_EQ(Adapt(40, 20, 100.0, 1000.0), std::make_pair(7, 3));
    EXPECT_EQ(Adapt(40, 20, 0.0, 1000.0), std::make_pair(7, 3));
    EXPECT_EQ(Adapt(5, 2, 1.0, 1000.0), std::make_pair(5, 2));
}

TEST(SizeAdaptation, ZeroReferenceGivesTheFloors)
{
    EXPECT_EQ(Adapt(40, 20, 0.0, 0.0), std::make_pair(7, 3));
    EXPECT_EQ(Adapt(5, 2, 0.0, 0.0), std::make_pair(5, 2));
}

TEST(SizeAdaptation, PriorityEqualToTheReferenceKeepsTheFullSizes)
{
    // Plain double arithmetic would give 23.999999999999996 here.
    EXPECT_EQ(Adapt(24, 12, 11442.666666666668, 11442.666666666668), std::make_pair(24, 12));
    EXPECT_EQ(Adapt(128, 64, 0.1, 0.1), std::make_pair(128, 64));
}

TEST(SizeAdaptation, TruncatesTheDoubleProductThenQuotient)
{
    // Exact arithmetic would give 19; the double reading gives 20.
    EXPECT_EQ(Adapt(24, 12, 426.66666666666663, 512.0).first, 20);
}
