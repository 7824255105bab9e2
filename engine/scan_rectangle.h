// SPDX-License-Identifier: MIT
// The first look at a job: what its scan rectangle holds. The driver and the
// command line's report count with the same function.
#pragma once

#include "engine/inpaint_job.h"

#include <algorithm>
#include <limits>

// The smallest rectangle around some pixels (inclusive); empty at first.
struct HoleBox {
    int minX = std::numeric_limits<int>::max();
    int maxX = std::numeric_limits<int>::min();
    int minY = std::numeric_limits<int>::max();
    int maxY = std::numeric_limits<int>::min();

    void Include(int x, int y)
    {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    bool Empty() const { return minX > maxX; }
    bool operator==(const HoleBox&) const = default;
};

struct ScanCounts {
    long long holeCount = 0;  // MaskHole pixels
    long long knownCount = 0; // MaskSource pixels
    HoleBox holeBox;          // around the MaskHole pixels
};

// The hole and Source pixels of the job's scan rectangle, cut to the image.
// A mask the engine cannot work on (not 8 bits, or not the job's size)
// counts nothing.
ScanCounts CountScanRectangle(const InpaintJob& job);

// Copies the Source pixels of the scan rectangle (cut to the image) from
// sourceImage into targetImage; the bitmaps fit the job.
void CopySourcePixels(const InpaintJob& job, int bytesPerPixel);
