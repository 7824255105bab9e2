// SPDX-License-Identifier: MIT
#include "engine/initial_front_index.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

// Beyond this distance a position is never a search centre.
constexpr int FarDistance = 30000;

int FloorDiv(int value, int divisor)
{
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

} // namespace

InitialFrontIndex::InitialFrontIndex(const std::vector<WindowPoint>& points)
    : m_points(points)
{
    if (points.empty())
        return;
    int minX = std::numeric_limits<int>::max(), minY = std::numeric_limits<int>::max();
    int maxX = std::numeric_limits<int>::min(), maxY = std::numeric_limits<int>::min();
    for (const WindowPoint& p : points) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    m_originX = minX;
    m_originY = minY;
    m_columns = (maxX - minX) / CellSize + 1;
    m_rows = (maxY - minY) / CellSize + 1;
    const auto cellOf = [&](const WindowPoint& p) {
        return ((p.y - m_originY) / CellSize) * m_columns + (p.x - m_originX) / CellSize;
    };
    // Counting sort by cell keeps the indices ascending within each cell.
    m_cellStart.assign(static_cast<std::size_t>(m_columns) * m_rows + 1, 0);
    for (const WindowPoint& p : points)
        ++m_cellStart[static_cast<std::size_t>(cellOf(p)) + 1];
    for (std::size_t c = 1; c < m_cellStart.size(); ++c)
        m_cellStart[c] += m_cellStart[c - 1];
    std::vector<int> next(m_cellStart.begin(), m_cellStart.end() - 1);
    m_entries.resize(points.size());
    for (int i = 0; i < static_cast<int>(points.size()); ++i)
        m_entries[static_cast<std::size_t>(next[static_cast<std::size_t>(cellOf(points[static_cast<std::size_t>(i)]))]++)] = i;
}

void InitialFrontIndex::VisitCell(std::size_t cell, int x, int y, int& bestDistance, int& bestIndex) const
{
    for (int e = m_cellStart[cell]; e < m_cellStart[cell + 1]; ++e) {
        const int i = m_entries[static_cast<std::size_t>(e)];
        const WindowPoint& p = m_points[static_cast<std::size_t>(i)];
        const int distance = std::abs(p.x - x) + std::abs(p.y - y);
        if (distance < bestDistance || (distance == bestDistance && bestIndex >= 0 && i < bestIndex)) {
            bestDistance = distance;
            bestIndex = i;
        }
    }
}

WindowPoint InitialFrontIndex::Nearest(int x, int y) const
{
    if (m_points.empty())
        return {x, y};
    int bestDistance = FarDistance;
    int bestIndex = -1;
    const int cellX = FloorDiv(x - m_originX, CellSize);
    const int cellY = FloorDiv(y - m_originY, CellSize);
    // A cell r rings away from the point's cell lies at least (r - 1) *
    // CellSize + 1 away; the rings stop once that exceeds the best distance,
    // so equal distances in later rings are still seen and the earliest wins.
    const int reach = std::max({cellX, m_columns - 1 - cellX, cellY, m_rows - 1 - cellY});
    for (int r = 0; r <= reach; ++r) {
        if (r > 0 && (r - 1) * CellSize + 1 > bestDistance)
            break;
        for (int cy = std::max(cellY - r, 0); cy <= std::min(cellY + r, m_rows - 1); ++cy) {
            const std::size_t rowStart = static_cast<std::size_t>(cy) * m_columns;
            if (cy == cellY - r || cy == cellY + r) {
                // The ring's top and bottom rows: every cell.
                for (int cx = std::max(cellX - r, 0); cx <= std::min(cellX + r, m_columns - 1); ++cx)
                    VisitCell(rowStart + cx, x, y, bestDistance, bestIndex);
                continue;
            }
            // The rows between: the two ends.
            if (cellX - r >= 0 && cellX - r < m_columns)
                VisitCell(rowStart + (cellX - r), x, y, bestDistance, bestIndex);
            if (cellX + r >= 0 && cellX + r < m_columns)
                VisitCell(rowStart + (cellX + r), x, y, bestDistance, bestIndex);
        }
    }
    return bestIndex >= 0 ? m_points[static_cast<std::size_t>(bestIndex)] : WindowPoint{x, y};
}
