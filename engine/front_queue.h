// SPDX-License-Identifier: MIT
// The order in which the points of a pass's front are filled.
#pragma once

#include "engine/inpaint_job.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Hands out the points of FillFront one by one: always the live point (one
// that still has a hole neighbour) of highest priority, the later point of
// the front on ties, and the earliest live point when no live priority is
// above 0. A point found without hole neighbours is dropped and counted;
// since holes only ever close, a dropped point would never have come back.
// Kept as a heap, so a choice costs a logarithm of the front's length
// instead of a sweep over all of it.
class FrontQueue {
public:
    // Takes the points FillFront holds now.
    void Start();
    // False when no live point is left.
    bool Next(const uint8_t* maskBuffer, int width, GrowPoint& point);
    // Points dropped since Start.
    std::size_t Removed() const { return m_removed; }

private:
    bool Before(int a, int b) const;

    std::vector<int> m_heap; // indices into FillFront
    std::size_t m_removed = 0;
};
