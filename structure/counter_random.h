// SPDX-License-Identifier: MIT
// Random numbers from a counter: the draw is a hash of where and when it is
// made, so it is the same whichever thread makes it and in whatever order.
#pragma once

#include <cstdint>

inline uint64_t CounterRandom(uint32_t x, uint32_t y, uint32_t pass, uint32_t draw)
{
    uint64_t z = (static_cast<uint64_t>(x) << 32 | y) * 0x9E3779B97F4A7C15ull;
    z ^= (static_cast<uint64_t>(pass) << 32 | draw) + 0xD1B54A32D192ED03ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// A draw in [low, high], both inclusive.
inline int CounterRandomIn(int low, int high, uint32_t x, uint32_t y, uint32_t pass, uint32_t draw)
{
    const uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(high) - low + 1);
    return low + static_cast<int>(CounterRandom(x, y, pass, draw) % span);
}
