// SPDX-License-Identifier: MIT
// The search centres of the later passes: for a front point, the position of
// the first pass's front nearest to it.
#pragma once

#include "engine/inpaint_job.h"

#include <cstddef>
#include <vector>

// The InitialFront positions sorted into square cells, so that the nearest
// one is found among a few cells instead of the whole front.
class InitialFrontIndex {
public:
    // points must outlive the index and stay unchanged.
    explicit InitialFrontIndex(const std::vector<WindowPoint>& points);

    // The position nearest to (x, y) by city-block distance, the earliest
    // among equals, when it is nearer than 30000; otherwise (x, y).
    WindowPoint Nearest(int x, int y) const;

private:
    static constexpr int CellSize = 16;

    // Offers the cell's positions as nearest so far.
    void VisitCell(std::size_t cell, int x, int y, int& bestDistance, int& bestIndex) const;

    const std::vector<WindowPoint>& m_points;
    int m_originX = 0;
    int m_originY = 0;
    int m_columns = 0;
    int m_rows = 0;
    std::vector<int> m_cellStart;    // per cell, where its entries start in m_entries; one more at the end
    std::vector<int> m_entries;      // indices into m_points, cell by cell, ascending within a cell
};

// The search centre for (x, y): the point itself in the first pass, later the
// initial front position index names for it (either engine's index).
template <typename CentreIndex>
WindowPoint SearchCentre(int x, int y, bool firstPass, const CentreIndex& index)
{
    return firstPass ? WindowPoint{x, y} : index.Nearest(x, y);
}
