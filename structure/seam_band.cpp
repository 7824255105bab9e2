// SPDX-License-Identifier: MIT
#include "structure/seam_band.h"

#include "kernels/parallel_for.h"
#include "structure/grid_box.h"

#include <algorithm>

namespace {

// Marks every cell within reach (along rows, then columns) of a marked one;
// a running distance each way, so the cost does not grow with reach.
std::vector<uint8_t> Grown(const std::vector<uint8_t>& marked, int width, int height, int reach)
{
    auto spread = [reach](const uint8_t* in, uint8_t* out, int count, int stride) {
        int last = -reach - 1;
        for (int i = 0; i < count; ++i) {
            if (in[i * stride])
                last = i;
            out[i * stride] = i - last <= reach ? 1 : 0;
        }
        last = count + reach + 1;
        for (int i = count - 1; i >= 0; --i) {
            if (in[i * stride])
                last = i;
            out[i * stride] |= last - i <= reach ? 1 : 0;
        }
    };
    std::vector<uint8_t> rows(marked.size(), 0);
    ParallelFor(0, height, [&](int y) {
        spread(marked.data() + static_cast<std::size_t>(y) * width, rows.data() + static_cast<std::size_t>(y) * width, width, 1);
    }, width);
    std::vector<uint8_t> band(marked.size(), 0);
    ParallelFor(0, width, [&](int x) { spread(rows.data() + x, band.data() + x, height, width); }, height);
    return band;
}

} // namespace

std::vector<int> SeamBand(const OffsetEnergy& energy, LabelMap& labels, int reach)
{
    const FillGrid& grid = energy.Grid();
    const int32_t count = static_cast<int32_t>(energy.Offsets().size());
    BoxBuilder holes;
    for (int y = 0; y < grid.height; ++y)
        for (int x = 0; x < grid.width; ++x)
            if (grid.state[grid.Index(x, y)] == StateHole)
                holes.Include(x, y);
    if (!holes.any)
        return {};
    // Everything the band can hold lies in the hole box.
    const GridBox box = holes.Grown(0);
    const int w = box.Width();
    const int h = box.Height();
    auto slot = [&](int x, int y) { return static_cast<std::size_t>(y - box.minY) * w + (x - box.minX); };

    std::vector<uint8_t> marked(static_cast<std::size_t>(w) * h, 0);
    for (int y = box.minY; y <= box.maxY; ++y)
        for (int x = box.minX; x <= box.maxX; ++x) {
            const int index = grid.Index(x, y);
            int32_t label = labels[index];
            if (grid.state[index] != StateHole || label == NoLabel)
                continue;
            if (!energy.Allowed(x, y, label)) {
                label = NoLabel;
                for (int32_t other = 0; other < count && label == NoLabel; ++other)
                    if (energy.Allowed(x, y, other))
                        label = other;
                labels.Set(index, label);
                marked[slot(x, y)] = 1;
                continue;
            }
            const int steps[2][2] = {{1, 0}, {0, 1}};
            for (const auto& s : steps) {
                const int nx = x + s[0];
                const int ny = y + s[1];
                if (nx > box.maxX || ny > box.maxY)
                    continue;
                const int32_t other = labels[grid.Index(nx, ny)];
                if (other >= 0 && other != label) {
                    marked[slot(x, y)] = 1;
                    marked[slot(nx, ny)] = 1;
                }
            }
        }
    const std::vector<uint8_t> band = Grown(marked, w, h, reach);
    std::vector<int> nodes;
    for (int y = box.minY; y <= box.maxY; ++y)
        for (int x = box.minX; x <= box.maxX; ++x) {
            const int index = grid.Index(x, y);
            if (band[slot(x, y)] && grid.state[index] == StateHole && labels[index] >= 0)
                nodes.push_back(index);
        }
    return nodes;
}
