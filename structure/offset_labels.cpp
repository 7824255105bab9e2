// SPDX-License-Identifier: MIT
#include "structure/offset_labels.h"

#include "structure/grid_box.h"
#include "structure/max_flow.h"

#include <cstdlib>

namespace {

// Energies are in 1/16 of a squared colour step, so the preference for near
// sources can be a fraction of one.
constexpr int64_t EnergyUnit = 16;

} // namespace

OffsetEnergy::OffsetEnergy(const FillGrid& grid, const std::vector<Offset>& offsets)
    : m_grid(grid), m_offsets(offsets), m_nearCost(offsets.size())
{
    // One unit per picture pixel of distance: a tie-breaker, never a reason.
    for (std::size_t i = 0; i < offsets.size(); ++i)
        m_nearCost[i] = (std::abs(offsets[i].dx) + std::abs(offsets[i].dy)) * static_cast<int64_t>(grid.scale);
}

int64_t OffsetEnergy::Disagreement(int x, int y, int32_t a, int32_t b) const
{
    const Offset oa = a == KnownLabel ? Offset{} : m_offsets[a];
    const Offset ob = b == KnownLabel ? Offset{} : m_offsets[b];
    if ((a == KnownLabel || b == KnownLabel) && !m_grid.KnownAt(x, y))
        return -1;
    return PixelDifference(m_grid, x + oa.dx, y + oa.dy, x + ob.dx, y + ob.dy) * EnergyUnit;
}

int64_t OffsetEnergy::Seam(int px, int py, int qx, int qy, int32_t a, int32_t b) const
{
    if (a == b)
        return 0;
    const int64_t atP = Disagreement(px, py, a, b);
    const int64_t atQ = Disagreement(qx, qy, a, b);
    if (atP < 0)
        return atQ < 0 ? 0 : 2 * atQ;
    if (atQ < 0)
        return 2 * atP;
    return atP + atQ;
}

std::vector<int> FirstAllowedLabels(const OffsetEnergy& energy, LabelMap& labels)
{
    const FillGrid& grid = energy.Grid();
    const int32_t count = static_cast<int32_t>(energy.Offsets().size());
    const GridBox& box = labels.Box();
    std::vector<int> holes;
    for (int y = box.minY; y <= box.maxY; ++y)
        for (int x = box.minX; x <= box.maxX; ++x) {
            const int index = grid.Index(x, y);
            if (grid.state[index] != StateHole)
                continue;
            for (int32_t label = 0; label < count; ++label)
                if (energy.Allowed(x, y, label)) {
                    labels.Set(index, label);
                    holes.push_back(index);
                    break;
                }
        }
    return holes;
}

namespace {

// The graph node of each pixel near the nodes, -1 for the rest; kept to the
// nodes' box so that a small hole in a large grid costs little.
class GraphIndex {
public:
    GraphIndex(const FillGrid& grid, const std::vector<int>& nodes) : m_width(grid.width)
    {
        BoxBuilder builder;
        for (int index : nodes)
            builder.Include(index % grid.width, index / grid.width);
        m_box = builder.Grown(1);
        if (builder.any)
            m_index.assign(static_cast<std::size_t>(m_box.Width()) * m_box.Height(), -1);
    }
    int Get(int index) const
    {
        const int x = index % m_width;
        const int y = index / m_width;
        return m_box.DistanceTo(x, y) == 0 ? m_index[Slot(x, y)] : -1;
    }
    // Only for pixels of the nodes' box.
    void Set(int index, int node) { m_index[Slot(index % m_width, index / m_width)] = node; }

private:
    std::size_t Slot(int x, int y) const
    {
        return static_cast<std::size_t>(y - m_box.minY) * m_box.Width() + (x - m_box.minX);
    }
    int m_width;
    GridBox m_box;
    std::vector<int> m_index;
};

// One expansion move: every node the label may fill either keeps its label
// or takes this one, whichever the minimum cut says. True when any changed.
bool ExpandOne(const OffsetEnergy& energy, LabelMap& labels, const std::vector<int>& nodes, int32_t alpha,
               const GridBox& reach, GraphIndex& graphIndex)
{
    const FillGrid& grid = energy.Grid();
    std::vector<int> moving;
    for (int index : nodes) {
        const int x = index % grid.width;
        const int y = index / grid.width;
        if (labels[index] != alpha && reach.DistanceTo(x, y) == 0 && energy.Allowed(x, y, alpha)) {
            graphIndex.Set(index, static_cast<int>(moving.size()));
            moving.push_back(index);
        }
    }
    if (moving.empty())
        return false;

    MaxFlow flow(static_cast<int>(moving.size()), static_cast<int>(moving.size()) * 2);
    std::vector<int64_t> keep(moving.size());
    std::vector<int64_t> take(moving.size());
    constexpr int Steps[4][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
    for (std::size_t node = 0; node < moving.size(); ++node) {
        const int index = moving[node];
        const int x = index % grid.width;
        const int y = index / grid.width;
        const int32_t own = labels[index];
        keep[node] += energy.Data(own);
        take[node] += energy.Data(alpha);
        for (const auto& step : Steps) {
            const int nx = x + step[0];
            const int ny = y + step[1];
            if (!grid.Inside(nx, ny))
                continue;
            const int neighbour = grid.Index(nx, ny);
            const int32_t other = labels[neighbour];
            if (other == NoLabel)
                continue;
            const int otherNode = graphIndex.Get(neighbour);
            if (otherNode < 0) {
                keep[node] += energy.Seam(x, y, nx, ny, own, other);
                take[node] += energy.Seam(x, y, nx, ny, alpha, other);
                continue;
            }
            if (otherNode < static_cast<int>(node))
                continue;
            int64_t both = energy.Seam(x, y, nx, ny, own, other);
            const int64_t keepTake = energy.Seam(x, y, nx, ny, own, alpha);
            const int64_t takeKeep = energy.Seam(x, y, nx, ny, alpha, other);
            // A move may not pay for its own seams twice: cap what keeping both costs.
            both = std::min(both, keepTake + takeKeep);
            const int64_t firstTerm = takeKeep - both;
            if (firstTerm > 0)
                take[node] += firstTerm;
            else
                keep[node] -= firstTerm;
            keep[otherNode] += takeKeep;
            flow.AddEdge(static_cast<int>(node), otherNode, keepTake + takeKeep - both, 0);
        }
    }
    for (std::size_t node = 0; node < moving.size(); ++node)
        flow.AddTerminals(static_cast<int>(node), take[node], keep[node]);
    flow.Solve();
    bool changed = false;
    for (std::size_t node = 0; node < moving.size(); ++node) {
        graphIndex.Set(moving[node], -1);
        if (flow.OnSinkSide(static_cast<int>(node))) {
            labels.Set(moving[node], alpha);
            changed = true;
        }
    }
    return changed;
}

// Where each label may spread this round: everywhere, or near where it is.
std::vector<GridBox> Reaches(const FillGrid& grid, const LabelMap& labels, const std::vector<int>& nodes,
                             int32_t count, int reach)
{
    const GridBox everywhere{0, grid.width - 1, 0, grid.height - 1};
    std::vector<GridBox> boxes(count, reach < 0 ? everywhere : GridBox{});
    if (reach < 0)
        return boxes;
    std::vector<BoxBuilder> builders(count);
    for (int index : nodes)
        for (int step = 0; step < 5; ++step) {
            const int x = index % grid.width + (step == 1) - (step == 2);
            const int y = index / grid.width + (step == 3) - (step == 4);
            if (!grid.Inside(x, y))
                continue;
            const int32_t label = labels[grid.Index(x, y)];
            if (label >= 0)
                builders[label].Include(x, y);
        }
    for (int32_t label = 0; label < count; ++label)
        boxes[label] = builders[label].Grown(reach);
    return boxes;
}

} // namespace

bool ExpandLabels(const OffsetEnergy& energy, LabelMap& labels, const std::vector<int>& nodes, int rounds,
                  int reach, const std::atomic<bool>* stop)
{
    GraphIndex graphIndex(energy.Grid(), nodes);
    const int32_t count = static_cast<int32_t>(energy.Offsets().size());
    for (int round = 0; round < rounds; ++round) {
        bool changed = false;
        const std::vector<GridBox> reaches = Reaches(energy.Grid(), labels, nodes, count, reach);
        for (int32_t alpha = 0; alpha < count; ++alpha) {
            if (stop != nullptr && stop->load(std::memory_order_relaxed))
                return false;
            changed = ExpandOne(energy, labels, nodes, alpha, reaches[alpha], graphIndex) || changed;
        }
        if (!changed)
            break;
    }
    return true;
}
