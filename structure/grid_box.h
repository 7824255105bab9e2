// SPDX-License-Identifier: MIT
// A rectangle of grid pixels, inclusive.
#pragma once

#include <algorithm>

struct GridBox {
    int minX = 0;
    int maxX = -1;
    int minY = 0;
    int maxY = -1;

    bool Empty() const { return minX > maxX || minY > maxY; }
    int Width() const { return maxX - minX + 1; }
    int Height() const { return maxY - minY + 1; }
    int Side() const { return std::max(Width(), Height()); }
    // Chebyshev distance of a pixel from the box; 0 inside.
    int DistanceTo(int x, int y) const
    {
        const int dx = std::max({minX - x, 0, x - maxX});
        const int dy = std::max({minY - y, 0, y - maxY});
        return std::max(dx, dy);
    }
};

// Grows to hold the pixels it is given.
struct BoxBuilder {
    GridBox box{1, 0, 1, 0};
    bool any = false;

    void Include(int x, int y)
    {
        if (!any) {
            box = GridBox{x, x, y, y};
            any = true;
            return;
        }
        box.minX = std::min(box.minX, x);
        box.maxX = std::max(box.maxX, x);
        box.minY = std::min(box.minY, y);
        box.maxY = std::max(box.maxY, y);
    }
    // The box grown by margin on every side; empty when nothing was included.
    GridBox Grown(int margin) const
    {
        if (!any)
            return GridBox{};
        return GridBox{box.minX - margin, box.maxX + margin, box.minY - margin, box.maxY + margin};
    }
};
