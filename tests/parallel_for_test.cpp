// SPDX-License-Identifier: MIT
#include "kernels/parallel_for.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

TEST(ParallelFor, EmptyRangeCallsNothing)
{
    std::atomic<int> calls{0};
    ParallelFor(5, 5, [&](int) { ++calls; });
    ParallelFor(5, 2, [&](int) { ++calls; });
    EXPECT_EQ(calls.load(), 0);
}

TEST(ParallelFor, OneIndexCallsOnce)
{
    std::vector<int> seen;
    ParallelFor(7, 8, [&](int i) { seen.push_back(i); });
    EXPECT_EQ(seen, std::vector<int>{7});
}

TEST(ParallelFor, EveryIndexRunsExactlyOnceBeforeTheCallReturns)
{
    for (int threads : {1, 4}) {
        WorkerThreadLimit limit(threads);
        std::vector<std::atomic<int>> counts(1000);
        ParallelFor(-3, 997, [&](int i) { ++counts[static_cast<std::size_t>(i + 3)]; });
        for (std::size_t i = 0; i < counts.size(); ++i)
            ASSERT_EQ(counts[i].load(), 1) << "index " << static_cast<int>(i) - 3 << " with " << threads;
    }
}

TEST(ParallelFor, OneThreadRunsOnTheCallingThread)
{
    WorkerThreadLimit limit(1);
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<int> elsewhere{0};
    ParallelFor(0, 200, [&](int) {
        if (std::this_thread::get_id() != caller)
            ++elsewhere;
    });
    EXPECT_EQ(elsewhere.load(), 0);
}
