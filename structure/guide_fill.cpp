// SPDX-License-Identifier: MIT
#include "structure/guide_fill.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr int PatchRadius = 5;
constexpr int PatchSide = 2 * PatchRadius + 1;
// Points along a line, this far apart: consecutive patches overlap by half.
constexpr int PointStep = PatchRadius;
// The nearest anchors by distance along the line; more cost time, not fit.
constexpr int MostAnchors = 32;
// What a turn of the line between a point and an anchor costs, against the
// squared colour steps of the patch (a right angle costs this much).
constexpr int64_t TurnCost = 3 * 40 * 40 * PatchSide;

struct LinePoint {
    int x = 0;
    int y = 0;
    double tangentX = 0.0;
    double tangentY = 0.0;
    bool anchor = false;   // its whole patch is Source
    bool unknown = false;  // its patch holds a hole pixel
};

std::vector<uint8_t> GuidesOfGrid(const FillGrid& grid, const GuideMap& guides, int imageWidth)
{
    std::vector<uint8_t> inGrid(grid.state.size(), 0);
    for (int y = 0; y < grid.height; ++y)
        for (int x = 0; x < grid.width; ++x) {
            const std::size_t at = static_cast<std::size_t>(grid.originY + y) * imageWidth + grid.originX + x;
            inGrid[grid.Index(x, y)] = at < guides.size() && guides[at] != 0 ? 1 : 0;
        }
    return inGrid;
}

// The guide's pixels as paths: each walk starts at the first unvisited end
// (a pixel with one neighbour) in scan order, or at the first unvisited
// pixel of a closed loop, and goes on to a 4-neighbour before a diagonal one.
std::vector<std::vector<int>> Paths(const FillGrid& grid, const std::vector<uint8_t>& guide)
{
    constexpr int Steps[8][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}, {1, 1}, {-1, 1}, {-1, -1}, {1, -1}};
    auto neighbours = [&](int index, const std::vector<uint8_t>& open) {
        int count = 0;
        for (const auto& s : Steps) {
            const int x = index % grid.width + s[0];
            const int y = index / grid.width + s[1];
            count += grid.Inside(x, y) && open[grid.Index(x, y)] ? 1 : 0;
        }
        return count;
    };
    std::vector<uint8_t> open = guide;
    std::vector<std::vector<int>> paths;
    for (int pass = 0; pass < 2; ++pass)
        for (int start = 0; start < static_cast<int>(open.size()); ++start) {
            if (!open[start] || (pass == 0 && neighbours(start, open) != 1))
                continue;
            std::vector<int> path{start};
            open[start] = 0;
            for (int at = start;;) {
                int next = -1;
                for (const auto& s : Steps) {
                    const int x = at % grid.width + s[0];
                    const int y = at / grid.width + s[1];
                    if (grid.Inside(x, y) && open[grid.Index(x, y)]) {
                        next = grid.Index(x, y);
                        break;
                    }
                }
                if (next < 0)
                    break;
                open[next] = 0;
                path.push_back(next);
                at = next;
            }
            paths.push_back(std::move(path));
        }
    return paths;
}

bool PatchAll(const FillGrid& grid, int cx, int cy, bool (*test)(uint8_t))
{
    for (int y = cy - PatchRadius; y <= cy + PatchRadius; ++y)
        for (int x = cx - PatchRadius; x <= cx + PatchRadius; ++x)
            if (!grid.Inside(x, y) || !test(grid.state[grid.Index(x, y)]))
                return false;
    return true;
}

std::vector<LinePoint> PointsOf(const FillGrid& grid, const std::vector<int>& path)
{
    std::vector<LinePoint> points;
    const int n = static_cast<int>(path.size());
    for (int i = 0; i < n; i += PointStep) {
        LinePoint point;
        point.x = path[i] % grid.width;
        point.y = path[i] / grid.width;
        const int before = path[std::max(0, i - PointStep)];
        const int after = path[std::min(n - 1, i + PointStep)];
        const double dx = after % grid.width - before % grid.width;
        const double dy = after / grid.width - before / grid.width;
        const double length = std::sqrt(dx * dx + dy * dy);
        point.tangentX = length > 0.0 ? dx / length : 1.0;
        point.tangentY = length > 0.0 ? dy / length : 0.0;
        point.anchor = PatchAll(grid, point.x, point.y, [](uint8_t s) { return s == StateSource; });
        point.unknown = !PatchAll(grid, point.x, point.y, [](uint8_t s) { return s != StateHole; });
        points.push_back(point);
    }
    return points;
}

class StretchCosts {
public:
    StretchCosts(const FillGrid& grid, const std::vector<LinePoint>& points) : m_grid(grid), m_points(points) {}

    // How the anchor's patch fits the known pixels around the point, and the
    // turn between the line there and at the anchor.
    int64_t Fit(int point, int anchor) const
    {
        const LinePoint& p = m_points[point];
        const LinePoint& a = m_points[anchor];
        int64_t sum = 0;
        for (int j = -PatchRadius; j <= PatchRadius; ++j)
            for (int i = -PatchRadius; i <= PatchRadius; ++i) {
                const int x = p.x + i;
                const int y = p.y + j;
                if (!m_grid.Inside(x, y) || m_grid.state[m_grid.Index(x, y)] < StateKnown)
                    continue;
                sum += PixelDifference(m_grid, x, y, a.x + i, a.y + j);
            }
        const double along = std::abs(p.tangentX * a.tangentX + p.tangentY * a.tangentY);
        return sum + static_cast<int64_t>(std::llround((1.0 - along) * TurnCost));
    }

    // How two anchors' patches agree where the patches of two points overlap.
    int64_t Overlap(int first, int firstAnchor, int second, int secondAnchor) const
    {
        const LinePoint& p = m_points[first];
        const LinePoint& q = m_points[second];
        const LinePoint& a = m_points[firstAnchor];
        const LinePoint& b = m_points[secondAnchor];
        int64_t sum = 0;
        for (int y = std::max(p.y, q.y) - PatchRadius; y <= std::min(p.y, q.y) + PatchRadius; ++y)
            for (int x = std::max(p.x, q.x) - PatchRadius; x <= std::min(p.x, q.x) + PatchRadius; ++x)
                sum += PixelDifference(m_grid, a.x + x - p.x, a.y + y - p.y, b.x + x - q.x, b.y + y - q.y);
        return sum;
    }

private:
    const FillGrid& m_grid;
    const std::vector<LinePoint>& m_points;
};

// The anchors nearest along the line to the stretch [first, last].
std::vector<int> AnchorsNear(const std::vector<LinePoint>& points, int first, int last)
{
    std::vector<std::pair<int, int>> byDistance;
    for (int i = 0; i < static_cast<int>(points.size()); ++i)
        if (points[i].anchor)
            byDistance.emplace_back(i < first ? first - i : i - last, i);
    std::sort(byDistance.begin(), byDistance.end());
    std::vector<int> anchors;
    for (std::size_t k = 0; k < byDistance.size() && static_cast<int>(k) < MostAnchors; ++k)
        anchors.push_back(byDistance[k].second);
    std::sort(anchors.begin(), anchors.end());
    return anchors;
}

// The best anchor for every point of the stretch [first, last], by dynamic programming.
std::vector<int> ChooseAnchors(const FillGrid& grid, const std::vector<LinePoint>& points, int first, int last)
{
    const std::vector<int> anchors = AnchorsNear(points, first, last);
    if (anchors.empty())
        return {};
    const StretchCosts costs(grid, points);
    const int n = last - first + 1;
    const int a = static_cast<int>(anchors.size());
    std::vector<int64_t> total(static_cast<std::size_t>(n) * a);
    std::vector<int> from(static_cast<std::size_t>(n) * a, 0);
    for (int k = 0; k < a; ++k)
        total[k] = costs.Fit(first, anchors[k]);
    for (int i = 1; i < n; ++i)
        for (int k = 0; k < a; ++k) {
            int64_t best = std::numeric_limits<int64_t>::max();
            for (int j = 0; j < a; ++j) {
                const int64_t cost =
                    total[static_cast<std::size_t>(i - 1) * a + j] + costs.Overlap(first + i - 1, anchors[j], first + i, anchors[k]);
                if (cost < best) {
                    best = cost;
                    from[static_cast<std::size_t>(i) * a + k] = j;
                }
            }
            total[static_cast<std::size_t>(i) * a + k] = best + costs.Fit(first + i, anchors[k]);
        }
    int pick = 0;
    for (int k = 1; k < a; ++k)
        if (total[static_cast<std::size_t>(n - 1) * a + k] < total[static_cast<std::size_t>(n - 1) * a + pick])
            pick = k;
    std::vector<int> chosen(n);
    for (int i = n - 1; i >= 0; --i) {
        chosen[i] = anchors[pick];
        pick = from[static_cast<std::size_t>(i) * a + pick];
    }
    return chosen;
}

} // namespace

std::vector<GuidedPixel> FillAlongGuides(FillGrid& grid, const GuideMap& guides, int imageWidth)
{
    std::vector<GuidedPixel> filled;
    const std::vector<uint8_t> guide = GuidesOfGrid(grid, guides, imageWidth);
    for (const std::vector<int>& path : Paths(grid, guide)) {
        const std::vector<LinePoint> points = PointsOf(grid, path);
        const int count = static_cast<int>(points.size());
        for (int first = 0; first < count;) {
            if (!points[first].unknown) {
                ++first;
                continue;
            }
            int last = first;
            while (last + 1 < count && points[last + 1].unknown)
                ++last;
            const std::vector<int> chosen = ChooseAnchors(grid, points, first, last);
            // Laid in order along the line; a pixel keeps the first patch that
            // reaches it, so where lines cross the earlier line wins.
            for (std::size_t i = 0; i < chosen.size(); ++i) {
                const LinePoint& p = points[first + static_cast<int>(i)];
                const LinePoint& anchor = points[chosen[i]];
                const Offset offset{anchor.x - p.x, anchor.y - p.y};
                for (int y = p.y - PatchRadius; y <= p.y + PatchRadius; ++y)
                    for (int x = p.x - PatchRadius; x <= p.x + PatchRadius; ++x) {
                        if (!grid.Inside(x, y) || grid.state[grid.Index(x, y)] != StateHole)
                            continue;
                        const int index = grid.Index(x, y);
                        std::copy_n(grid.ColourAt(x + offset.dx, y + offset.dy), grid.channels,
                                    grid.colour.begin() + static_cast<std::ptrdiff_t>(index) * grid.channels);
                        grid.state[index] = StateKnown;
                        filled.push_back(GuidedPixel{index, offset});
                    }
            }
            first = last + 1;
        }
    }
    return filled;
}
