// SPDX-License-Identifier: MIT
// The part of the picture the structure fill works on, in plain buffers: a
// colour and a state per pixel, at full or reduced resolution.
#pragma once

#include "engine/inpaint_job.h"

#include <cstdint>
#include <vector>

enum PixelState : uint8_t {
    StateOther = 0,  // excluded, an outline, or outside the picture: neither filled nor read
    StateHole = 1,   // to be filled
    StateKnown = 2,  // a known colour that may not be copied
    StateSource = 3, // known, and may be copied
};

struct Offset {
    int dx = 0;
    int dy = 0;
    bool operator==(const Offset&) const = default;
};

struct FillGrid {
    int originX = 0; // picture column and line of grid pixel (0, 0), at full resolution
    int originY = 0;
    int scale = 1;   // picture pixels per grid pixel along each side
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<uint8_t> colour; // width * height * channels, rows from the bottom like the picture
    std::vector<uint8_t> state;

    int Index(int x, int y) const { return y * width + x; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    bool KnownAt(int x, int y) const { return Inside(x, y) && state[Index(x, y)] >= StateKnown; }
    bool SourceAt(int x, int y) const { return Inside(x, y) && state[Index(x, y)] == StateSource; }
    const uint8_t* ColourAt(int x, int y) const { return colour.data() + static_cast<std::size_t>(Index(x, y)) * channels; }
};

// What a pixel one side cannot read costs, against a squared colour step.
constexpr int64_t BlindPixel = 3 * 128 * 128;

// The squared colour difference of two pixels of the grid, or BlindPixel
// when either is outside it or not known.
int64_t PixelDifference(const FillGrid& grid, int ax, int ay, int bx, int by);

// The rectangle [minX, maxX] x [minY, maxY] of the job's picture (cut to it):
// colours from the target, states from the mask codes, holes only inside the
// scan rectangle.
FillGrid ReadGrid(const InpaintJob& job, int bytesPerPixel, int minX, int maxX, int minY, int maxY);

// The grid at 1/factor of its resolution: a pixel is a hole when any of its
// block is, Source when all of it is, known when all of it is known, and its
// colour is the rounded mean of the block's known pixels.
FillGrid ReduceGrid(const FillGrid& grid, int factor);
