// SPDX-License-Identifier: MIT
// How long the decoding of one file may take: a floor that any file gets,
// and more for each byte it holds and each pixel its header claims, so that
// a small damaged file is refused within seconds while the largest sound
// picture keeps a wide margin. The user's limit stays the upper bound.
#pragma once

#include <cstdint>

// Any file, however small, may take this long.
constexpr int DecodeFloorSeconds = 2;

// Seconds of processor time, and of the wall clock, that decoding a file of
// fileBytes whose header claims claimedPixels may take; claimedPixels is 0
// while the header has not been read. Never above upperSeconds, never below 1.
int DecodeSecondsFor(std::uint64_t fileBytes, long long claimedPixels, int upperSeconds);
