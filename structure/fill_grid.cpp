// SPDX-License-Identifier: MIT
#include "structure/fill_grid.h"

#include "kernels/bitmap_rows.h"
#include "kernels/parallel_for.h"

#include <algorithm>

namespace {

uint8_t StateOfCode(int code, bool inScan)
{
    if (code == MaskHole)
        return inScan ? StateHole : StateOther;
    if (code == MaskSource)
        return StateSource;
    return IsKnownCode(code) ? StateKnown : StateOther;
}

} // namespace

int64_t PixelDifference(const FillGrid& grid, int ax, int ay, int bx, int by)
{
    if (!grid.KnownAt(ax, ay) || !grid.KnownAt(bx, by))
        return BlindPixel;
    const uint8_t* a = grid.ColourAt(ax, ay);
    const uint8_t* b = grid.ColourAt(bx, by);
    int64_t sum = 0;
    for (int c = 0; c < grid.channels; ++c) {
        const int d = a[c] - b[c];
        sum += d * d;
    }
    return sum;
}

FillGrid ReadGrid(const InpaintJob& job, int bytesPerPixel, int minX, int maxX, int minY, int maxY)
{
    minX = std::max(minX, 0);
    minY = std::max(minY, 0);
    maxX = std::min(maxX, job.imageWidth - 1);
    maxY = std::min(maxY, job.imageHeight - 1);
    FillGrid grid;
    grid.originX = minX;
    grid.originY = minY;
    grid.width = maxX - minX + 1;
    grid.height = maxY - minY + 1;
    grid.channels = bytesPerPixel;
    grid.colour.resize(static_cast<std::size_t>(grid.width) * grid.height * bytesPerPixel);
    grid.state.resize(static_cast<std::size_t>(grid.width) * grid.height);
    const BitmapRows picture = RowsOf(job.targetImage);
    const BitmapRows mask = RowsOf(job.maskImage);
    ParallelFor(0, grid.height, [&](int y) {
        const int line = minY + y;
        const bool lineInScan = line >= job.scanMinY && line <= job.scanMaxY;
        std::copy_n(picture.Row(line) + static_cast<std::size_t>(minX) * bytesPerPixel,
                    static_cast<std::size_t>(grid.width) * bytesPerPixel,
                    grid.colour.begin() + static_cast<std::ptrdiff_t>(grid.Index(0, y)) * bytesPerPixel);
        const uint8_t* codes = mask.Row(line) + minX;
        uint8_t* states = grid.state.data() + grid.Index(0, y);
        for (int x = 0; x < grid.width; ++x) {
            const int column = minX + x;
            states[x] = StateOfCode(codes[x], lineInScan && column >= job.scanMinX && column <= job.scanMaxX);
        }
    }, grid.width);
    return grid;
}

FillGrid ReduceGrid(const FillGrid& grid, int factor)
{
    FillGrid reduced;
    reduced.originX = grid.originX;
    reduced.originY = grid.originY;
    reduced.scale = grid.scale * factor;
    reduced.width = (grid.width + factor - 1) / factor;
    reduced.height = (grid.height + factor - 1) / factor;
    reduced.channels = grid.channels;
    reduced.colour.assign(static_cast<std::size_t>(reduced.width) * reduced.height * grid.channels, 0);
    reduced.state.assign(static_cast<std::size_t>(reduced.width) * reduced.height, StateOther);
    const int channels = grid.channels;
    ParallelFor(0, reduced.height, [&](int Y) {
        for (int X = 0; X < reduced.width; ++X) {
            bool hole = false;
            bool allSource = true;
            bool allKnown = true;
            int count = 0;
            int sums[4] = {0, 0, 0, 0};
            for (int y = Y * factor; y < Y * factor + factor; ++y)
                for (int x = X * factor; x < X * factor + factor; ++x) {
                    const uint8_t state = grid.Inside(x, y) ? grid.state[grid.Index(x, y)] : static_cast<uint8_t>(StateOther);
                    hole = hole || state == StateHole;
                    allSource = allSource && state == StateSource;
                    allKnown = allKnown && state >= StateKnown;
                    if (state < StateKnown)
                        continue;
                    const uint8_t* colour = grid.ColourAt(x, y);
                    for (int c = 0; c < channels; ++c)
                        sums[c] += colour[c];
                    ++count;
                }
            const int index = reduced.Index(X, Y);
            reduced.state[index] = static_cast<uint8_t>(hole ? StateHole : allSource ? StateSource : allKnown ? StateKnown : StateOther);
            for (int c = 0; c < channels && count > 0; ++c)
                reduced.colour[static_cast<std::size_t>(index) * channels + c] =
                    static_cast<uint8_t>((sums[c] + count / 2) / count);
        }
    }, reduced.width * factor * factor);
    return reduced;
}
