// SPDX-License-Identifier: MIT
// What the patch engine wrote, step by step in the order it wrote it, for a
// caller that repeats the same fill on samples deeper than the engine's
// bytes. The engine keeps it only when a job asks for it.
#pragma once

#include <cstdint>
#include <vector>

// One PastePatch: the patch of edge size around (x, y) took the exemplar
// centred on (fromX, fromY); window coordinates.
struct RecordedPaste {
    int32_t x = 0;
    int32_t y = 0;
    int32_t size = 0;
    int32_t fromX = 0;
    int32_t fromY = 0;
};

// A pixel filled by neighbour averaging, in image coordinates.
struct RecordedPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// The window's pastes come first and go back into the picture after the
// last of them; the averaged pixels follow. Each averaged pixel took the
// rounded mean of the 8-neighbours known when it was filled: those known
// before the job began, and those filled before it.
struct FillRecord {
    // The window of the patch passes and its codes as the first pass found
    // them; width 0 when no pass ran.
    int32_t windowOriginX = 0;
    int32_t windowOriginY = 0;
    int32_t windowWidth = 0;
    int32_t windowHeight = 0;
    std::vector<uint8_t> windowCodes;
    bool smoothSeam = false;
    std::vector<RecordedPaste> pastes;
    std::vector<RecordedPoint> averaged;
};
