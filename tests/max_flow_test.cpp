// SPDX-License-Identifier: MIT
// The minimum cut against every cut of small random graphs.
#include "structure/max_flow.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace {

struct Edge {
    int a, b;
    int64_t ab, ba;
};

TEST(MaxFlow, FindsTheCheapestCutOfSmallGraphs)
{
    std::mt19937 random(12345);
    for (int trial = 0; trial < 300; ++trial) {
        const int n = 1 + static_cast<int>(random() % 9);
        std::vector<int64_t> toSource(n), toSink(n);
        std::vector<Edge> edges;
        MaxFlow flow(n);
        for (int i = 0; i < n; ++i) {
            toSource[i] = random() % 20;
            toSink[i] = random() % 20;
            flow.AddTerminals(i, toSource[i], toSink[i]);
        }
        for (int a = 0; a < n; ++a)
            for (int b = a + 1; b < n; ++b)
                if (random() % 3 == 0) {
                    edges.push_back({a, b, static_cast<int64_t>(random() % 15), static_cast<int64_t>(random() % 15)});
                    flow.AddEdge(a, b, edges.back().ab, edges.back().ba);
                }
        auto cost = [&](uint32_t sinkSide) {
            int64_t sum = 0;
            for (int i = 0; i < n; ++i)
                sum += (sinkSide >> i & 1) ? toSource[i] : toSink[i];
            for (const Edge& e : edges) {
                const bool aSink = sinkSide >> e.a & 1;
                const bool bSink = sinkSide >> e.b & 1;
                sum += !aSink && bSink ? e.ab : 0;
                sum += aSink && !bSink ? e.ba : 0;
            }
            return sum;
        };
        int64_t best = std::numeric_limits<int64_t>::max();
        for (uint32_t cut = 0; cut < (1u << n); ++cut)
            best = std::min(best, cost(cut));
        const int64_t found = flow.Solve();
        ASSERT_EQ(found, best) << "trial " << trial;
        uint32_t sides = 0;
        for (int i = 0; i < n; ++i)
            sides |= flow.OnSinkSide(i) ? 1u << i : 0u;
        ASSERT_EQ(cost(sides), best) << "trial " << trial;
    }
}

} // namespace
