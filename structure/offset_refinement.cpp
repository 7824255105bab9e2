// SPDX-License-Identifier: MIT
#include "structure/offset_refinement.h"

#include "kernels/parallel_for.h"

#include <algorithm>
#include <limits>
#include <map>

namespace {

constexpr int64_t Unusable = std::numeric_limits<int64_t>::max();

// The connected regions of one label, each a list of pixels in scan order.
std::vector<std::vector<int>> Regions(const FillGrid& grid, const LabelMap& labels)
{
    const GridBox& box = labels.Box();
    if (box.Empty())
        return {};
    std::vector<int> regionOfSlot(static_cast<std::size_t>(box.Width()) * box.Height(), -1);
    auto region = [&](int index) -> int& {
        return regionOfSlot[static_cast<std::size_t>(index / grid.width - box.minY) * box.Width() +
                            (index % grid.width - box.minX)];
    };
    std::vector<std::vector<int>> regions;
    std::vector<int> stack;
    for (int y = box.minY; y <= box.maxY; ++y)
        for (int x = box.minX; x <= box.maxX; ++x) {
            const int start = grid.Index(x, y);
            if (labels[start] < 0 || region(start) >= 0)
                continue;
            const int id = static_cast<int>(regions.size());
            regions.emplace_back();
            region(start) = id;
            stack.push_back(start);
            while (!stack.empty()) {
                const int index = stack.back();
                stack.pop_back();
                regions[id].push_back(index);
                const int steps[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
                for (const auto& s : steps) {
                    const int nx = index % grid.width + s[0];
                    const int ny = index / grid.width + s[1];
                    if (!grid.Inside(nx, ny))
                        continue;
                    const int next = grid.Index(nx, ny);
                    // Labels match only inside the map's box, where regions are kept.
                    if (labels[next] == labels[index] && region(next) < 0) {
                        region(next) = id;
                        stack.push_back(next);
                    }
                }
            }
            std::sort(regions[id].begin(), regions[id].end());
        }
    return regions;
}

// The offset near base that fits the region best: few pixels it cannot copy,
// then the least disagreement along the region's edge with the known pixels
// and the other regions' copies around it.
Offset BestNear(const FillGrid& grid, const std::vector<int>& region, const LabelMap& labels,
                const std::vector<Offset>& baseOffsets, Offset base, int radius)
{
    std::vector<std::pair<int, int>> edges; // (inside, outside) pixel pairs
    const int32_t own = labels[region.front()];
    for (int index : region) {
        const int x = index % grid.width;
        const int y = index / grid.width;
        const int steps[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
        for (const auto& s : steps)
            if (grid.Inside(x + s[0], y + s[1])) {
                const int next = grid.Index(x + s[0], y + s[1]);
                if (labels[next] != own && labels[next] != NoLabel)
                    edges.emplace_back(index, next);
            }
    }
    auto costOf = [&](Offset candidate, int64_t limit) {
        int64_t cost = 0;
        for (int index : region)
            if (!grid.SourceAt(index % grid.width + candidate.dx, index / grid.width + candidate.dy))
                cost += 4 * BlindPixel;
        for (const auto& [inside, outside] : edges) {
            if (cost >= limit)
                break;
            const int32_t label = labels[outside];
            const Offset other = label >= 0 ? baseOffsets[label] : Offset{};
            const int ox = outside % grid.width;
            const int oy = outside / grid.width;
            cost += PixelDifference(grid, ox + candidate.dx, oy + candidate.dy, ox + other.dx, oy + other.dy);
            if (label >= 0) {
                const int ix = inside % grid.width;
                const int iy = inside / grid.width;
                cost += PixelDifference(grid, ix + candidate.dx, iy + candidate.dy, ix + other.dx, iy + other.dy);
            }
        }
        return cost;
    };
    // Every other offset first, then the eight around the best of those;
    // the base offset is tried first, so that a tie keeps it.
    Offset best = base;
    int64_t bestCost = costOf(base, Unusable);
    auto consider = [&](Offset candidate) {
        const int64_t cost = costOf(candidate, bestCost);
        if (cost < bestCost) {
            bestCost = cost;
            best = candidate;
        }
    };
    for (int dy = -radius; dy <= radius; dy += 2)
        for (int dx = -radius; dx <= radius; dx += 2)
            if (dx != 0 || dy != 0)
                consider(Offset{base.dx + dx, base.dy + dy});
    const Offset centre = best;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (dx != 0 || dy != 0)
                consider(Offset{centre.dx + dx, centre.dy + dy});
    return best;
}

} // namespace

FineLabels RefineOffsets(const FillGrid& fine, const FillGrid& reduced, const std::vector<Offset>& reducedOffsets,
                         const LabelMap& reducedLabels)
{
    const int factor = reduced.scale / fine.scale;
    std::vector<Offset> baseOffsets;
    for (const Offset& o : reducedOffsets)
        baseOffsets.push_back(Offset{o.dx * factor, o.dy * factor});
    BoxBuilder holes;
    for (int y = 0; y < fine.height; ++y)
        for (int x = 0; x < fine.width; ++x)
            if (fine.state[fine.Index(x, y)] == StateHole)
                holes.Include(x, y);
    LabelMap labels(fine, holes.Grown(1));
    const GridBox& box = labels.Box();
    if (!box.Empty())
        ParallelFor(box.minY, box.maxY + 1, [&](int y) {
            for (int x = box.minX; x <= box.maxX; ++x) {
                const int index = fine.Index(x, y);
                if (fine.state[index] == StateHole)
                    labels.Set(index, reducedLabels[reduced.Index(x / factor, y / factor)]);
            }
        }, box.Width());

    const std::vector<std::vector<int>> regions = Regions(fine, labels);
    std::vector<Offset> refined(regions.size());
    ParallelFor(0, static_cast<int>(regions.size()), [&](int r) {
        const Offset base = baseOffsets[labels[regions[r].front()]];
        refined[r] = BestNear(fine, regions[r], labels, baseOffsets, base, factor / 2 + (factor / 2) % 2);
    }, 1);

    // One label per distinct refined offset, numbered as first met.
    FineLabels result;
    result.labels = std::move(labels);
    std::map<std::pair<int, int>, int32_t> numbers;
    for (std::size_t r = 0; r < regions.size(); ++r) {
        const auto key = std::make_pair(refined[r].dx, refined[r].dy);
        auto found = numbers.find(key);
        if (found == numbers.end()) {
            found = numbers.emplace(key, static_cast<int32_t>(result.offsets.size())).first;
            result.offsets.push_back(refined[r]);
        }
        for (int index : regions[r])
            result.labels.Set(index, found->second);
    }
    return result;
}
