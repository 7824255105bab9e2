// SPDX-License-Identifier: MIT
// A benchmark's result checked against the hash pinned for it, so that a
// faster run that gives other bytes is not taken for a speed-up.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <string>

// Unpinned results show their hash, to be pinned; a differing one stops the benchmark.
inline void CheckPinnedHash(benchmark::State& state, const std::map<std::string, uint64_t>& pinned,
                            const std::string& name, uint64_t hash)
{
    const auto expected = pinned.find(name);
    if (expected == pinned.end())
        state.SetLabel("hash " + std::to_string(hash));
    else if (expected->second != hash)
        state.SkipWithError("result differs from the pinned one");
}
