// SPDX-License-Identifier: MIT
// The row comparisons of the search against their plain loops, on random
// rows of every length with random tables of the bytes that count.
#include "kernels/masked_byte_blocks.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// A row of count bytes padded to whole 32-byte blocks, as the search's
// tables are: beyond count nothing counts and the target is 0.
struct RandomRow {
    std::vector<uint8_t> candidate;
    std::vector<uint8_t> target;
    std::vector<uint8_t> keep;
    std::vector<uint8_t> skip;
    std::mt19937 random{7};

    void Fill(int count, int keptPercent)
    {
        const std::size_t padded = (static_cast<std::size_t>(count) + 31) / 32 * 32;
        std::uniform_int_distribution<int> byte(0, 255);
        std::uniform_int_distribution<int> percent(0, 99);
        candidate.assign(padded, 0);
        target.assign(padded, 0);
        keep.assign(padded, 0);
        skip.assign(padded, 0xFF);
        for (std::size_t i = 0; i < padded; ++i) {
            // Bytes that do not count carry anything in the candidate.
            candidate[i] = static_cast<uint8_t>(byte(random));
            if (static_cast<int>(i) < count && percent(random) < keptPercent) {
                keep[i] = 0xFF;
                skip[i] = 0;
                target[i] = static_cast<uint8_t>(byte(random));
            }
        }
    }
};

} // namespace

TEST(MaskedByteBlocks, BlockSumsEqualThePlainSums)
{
    RandomRow row;
    for (int count = 1; count <= 512; ++count) {
        for (int kept : {100, 60, 5}) {
            row.Fill(count, kept);
            const int plain = PlainBlocks::SumAbsDiff(row.candidate.data(), row.target.data(), row.keep.data(), count);
            EXPECT_EQ(NarrowBlocks::SumAbsDiff(row.candidate.data(), row.target.data(), row.keep.data(), count), plain)
                << count << " " << kept;
            if (HasWideBlocks()) {
                EXPECT_EQ(WideBlocks::SumAbsDiff(row.candidate.data(), row.target.data(), row.keep.data(), count), plain)
                    << count << " " << kept;
            }
        }
    }
}

TEST(MaskedByteBlocks, CodeTestsFindTheOneForeignCodeThatCounts)
{
    RandomRow row;
    for (int count = 1; count <= 128; ++count) {
        row.Fill(count, 50);
        for (int odd = -1; odd < static_cast<int>(row.skip.size()); ++odd) {
            std::vector<uint8_t> codes(row.skip.size(), 255);
            if (odd >= 0)
                codes[static_cast<std::size_t>(odd)] = 244;
            const bool plain = PlainBlocks::BytesAre(codes.data(), row.skip.data(), count, 255);
            // Only a foreign code at a counted byte fails the row.
            EXPECT_EQ(plain, odd < 0 || row.skip[static_cast<std::size_t>(odd)] != 0);
            EXPECT_EQ(NarrowBlocks::BytesAre(codes.data(), row.skip.data(), count, 255), plain) << count << " " << odd;
            if (HasWideBlocks()) {
                EXPECT_EQ(WideBlocks::BytesAre(codes.data(), row.skip.data(), count, 255), plain) << count << " " << odd;
            }
        }
    }
}
