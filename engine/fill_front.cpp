// SPDX-License-Identifier: MIT
// Priorities grow with the image structure running into the hole (gradient
// across the front normal) and with how much of the neighbourhood is known.
#include "engine/fill_front.h"

#include <cmath>
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace {

constexpr int ColourTypeCmyk = FIC_CMYK;

std::size_t IndexOf(int x, int y, int width)
{
    return static_cast<std::size_t>(y) * width + x;
}

} // namespace

int CountHoleNeighbours(const uint8_t* maskBuffer, int width, int x, int y)
{
    int count = 0;
    for (const NeighbourOffset& offset : NeighbourOffsets)
        if (maskBuffer[IndexOf(x + offset.dx, y + offset.dy, width)] == MaskHole)
            ++count;
    return count;
}

GrowPoint ComputeGrowPoint(const WindowView& window, int x, int y, int holeNeighbours, int colourType)
{
    const uint8_t* const maskBuffer = window.maskBuffer;
    const uint8_t* const colourBuffer = window.colourBuffer;
    const int width = window.width;
    const int bytesPerPixel = window.bytesPerPixel;
    GrowPoint point;
    point.x = x;
    point.y = y;
    point.holeNeighbours = holeNeighbours;

    // codes[row][column] of the 3 x 3 block, row 0 being y - 1.
    int codes[3][3];
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            codes[row][column] = maskBuffer[IndexOf(x - 1 + column, y - 1 + row, width)];

    const int rowAbove = codes[0][0] + codes[0][1] + codes[0][2];
    const int rowBelow = codes[2][0] + codes[2][1] + codes[2][2];
    const int columnLeft = codes[0][0] + codes[1][0] + codes[2][0];
    const int columnRight = codes[0][2] + codes[1][2] + codes[2][2];
    point.normalY = static_cast<double>(rowAbove - rowBelow) / 3.0;
    point.normalX = static_cast<double>(columnLeft - columnRight) / 3.0;

    const uint8_t* centre = colourBuffer + IndexOf(x, y, width) * bytesPerPixel;
    int sumY = 0;
    int sumX = 0;
    for (int k = 0; k < bytesPerPixel; ++k) {
        // Pixels below the known threshold carry the centre's value, so
        // they add nothing to the differences (220 itself keeps its own).
        int values[3][3];
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                const uint8_t* pixel = colourBuffer + IndexOf(x - 1 + column, y - 1 + row, width) * bytesPerPixel;
                values[row][column] = codes[row][column] < KnownThreshold ? centre[k] : pixel[k];
            }
        }
        int dY = ((values[0][0] + values[0][1] + values[0][2]) - (values[2][0] + values[2][1] + values[2][2])) / 3;
        int dX = ((values[0][0] + values[1][0] + values[2][0]) - (values[0][2] + values[1][2] + values[2][2])) / 3;
        if (colourType == ColourTypeCmyk) {
            dY = 255 - dY;
            dX = 255 - dX;
        }
        sumY += dY;
        sumX += dX;
    }
    point.gradientY = static_cast<double>(sumY) / bytesPerPixel;
    point.gradientX = static_cast<double>(sumX) / bytesPerPixel;
    point.priority = (std::fabs(point.gradientY * point.normalX) + std::fabs(point.gradientX * point.normalY)) *
                     (8 - holeNeighbours);
    return point;
}

void BuildFront(const WindowView& window, int minX, int maxX, int minY, int maxY, int colourType, bool firstPass,
                JobScratch& scratch)
{
    const uint8_t* const maskBuffer = window.maskBuffer;
    const int width = window.width;
    // Only pixels next to a hole can join. For each line the columns next to
    // a hole of the line or the lines beside it are marked first, between the
    // first and the last hole of the three lines, and only those are looked
    // at, still from left to right.
    const int first = minX - 1;
    const int columns = maxX - minX + 3;
    std::vector<uint8_t>& holeAt = scratch.holeColumns; // column first - 1 + k has a hole in one of the lines
    std::vector<uint8_t>& near = scratch.nearHole;      // column first + c lies next to one
    holeAt.resize(static_cast<std::size_t>(columns) + 2);
    near.resize(static_cast<std::size_t>(columns));
    for (int y = minY - 1; y <= maxY + 1; ++y) {
        const uint8_t* lines[3] = {maskBuffer + IndexOf(first - 1, y - 1, width),
                                   maskBuffer + IndexOf(first - 1, y, width),
                                   maskBuffer + IndexOf(first - 1, y + 1, width)};
        // The stretch of the three lines from their first hole to their last.
        int lo = columns + 2;
        int hi = -1;
        for (const uint8_t* line : lines) {
            const void* hole = std::memchr(line, MaskHole, static_cast<std::size_t>(columns) + 2);
            if (hole == nullptr)
                continue;
            lo = std::min(lo, static_cast<int>(static_cast<const uint8_t*>(hole) - line));
            int last = columns + 1;
            while (line[last] != MaskHole)
                --last;
            hi = std::max(hi, last);
        }
        if (hi < 0)
            continue;
        for (int k = lo; k <= hi; ++k)
            holeAt[k] = static_cast<uint8_t>((lines[0][k] == MaskHole) | (lines[1][k] == MaskHole) |
                                             (lines[2][k] == MaskHole));
        // Column first + c neighbours the columns of holeAt[c], holeAt[c + 1] and holeAt[c + 2].
        const int cFirst = std::max(lo - 2, 0);
        const int cLast = std::min(hi, columns - 1);
        auto hasHole = [&](int k) { return k >= lo && k <= hi && holeAt[k]; };
        for (int c = cFirst; c <= cLast; ++c)
            near[c] = static_cast<uint8_t>(hasHole(c) || hasHole(c + 1) || hasHole(c + 2));
        for (int c = cFirst; c <= cLast; ++c) {
            if (!near[static_cast<std::size_t>(c)])
                continue;
            const int x = first + c;
            if (!IsKnownCode(maskBuffer[IndexOf(x, y, width)]))
                continue;
            const int holeNeighbours = CountHoleNeighbours(maskBuffer, width, x, y);
            if (holeNeighbours < 1 || holeNeighbours > 6)
                continue;
            FillFront.push_back(ComputeGrowPoint(window, x, y, holeNeighbours, colourType));
            if (firstPass)
                InitialFront.push_back({x, y});
        }
    }
}
