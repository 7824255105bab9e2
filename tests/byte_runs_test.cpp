// SPDX-License-Identifier: MIT
// The block comparisons of the search against their plain loops, on random
// runs of every length and alignment.
#include "engine/byte_runs.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

constexpr int Lead = 32;

struct RandomRuns {
    std::vector<uint8_t> a;
    std::vector<uint8_t> b;
    std::mt19937 random{7};

    // Two runs of count bytes, each behind a readable lead.
    void Fill(int count, int values)
    {
        std::uniform_int_distribution<int> byte(0, values - 1);
        a.assign(static_cast<std::size_t>(Lead + count + 32), 0);
        b.assign(a.size(), 0);
        for (auto& value : a)
            value = static_cast<uint8_t>(255 - byte(random));
        for (auto& value : b)
            value = static_cast<uint8_t>(255 - byte(random));
    }
    const uint8_t* A() const { return a.data() + Lead; }
    const uint8_t* B() const { return b.data() + Lead; }
};

} // namespace

TEST(ByteRuns, BlockSumsEqualThePlainSums)
{
    RandomRuns runs;
    for (int count = 1; count <= 400; ++count) {
        runs.Fill(count, 256);
        const int plain = SumAbsDiffPlain(runs.A(), runs.B(), count);
        EXPECT_EQ(SumAbsDiff(runs.A(), runs.B(), count), plain) << count;
#if defined(QUENLO_WIDE_BLOCKS)
        if (HasWideBlocks()) {
            EXPECT_EQ(SumAbsDiffWide(runs.A(), runs.B(), count), plain) << count;
        }
#endif
    }
}

TEST(ByteRuns, BlockTestsFindTheOneDifferentByte)
{
    RandomRuns runs;
    for (int count = 1; count <= 100; ++count) {
        // Mostly 255 (Source) with an occasional other code, never outside the run.
        runs.Fill(count, 1);
        for (int odd = -1; odd < count; ++odd) {
            std::vector<uint8_t> bytes(runs.a);
            if (odd >= 0)
                bytes[static_cast<std::size_t>(Lead + odd)] = 244;
            const uint8_t* run = bytes.data() + Lead;
            const bool plain = AllBytesArePlain(run, count, 255);
            EXPECT_EQ(plain, odd < 0);
            EXPECT_EQ(AllBytesAre(run, count, 255), plain) << count << " " << odd;
#if defined(QUENLO_WIDE_BLOCKS)
            if (HasWideBlocks()) {
                EXPECT_EQ(AllBytesAreWide(run, count, 255), plain) << count << " " << odd;
            }
#endif
        }
    }
}

TEST(ByteRuns, BytesBeforeTheRunDoNotCount)
{
    RandomRuns runs;
    runs.Fill(5, 256);
    // Differences and foreign codes in the lead are ignored.
    runs.a[Lead - 1] = 0;
    runs.b[Lead - 1] = 255;
    EXPECT_EQ(SumAbsDiff(runs.A(), runs.B(), 5), SumAbsDiffPlain(runs.A(), runs.B(), 5));
    std::vector<uint8_t> codes(64, 255);
    codes[10] = 0;
    EXPECT_TRUE(AllBytesAre(codes.data() + 11, 7, 255));
}
