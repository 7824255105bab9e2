// SPDX-License-Identifier: MIT
// The label of every pixel of a grid, stored only for a box around the hole:
// outside it a pixel is known (KnownLabel) or neither (NoLabel), as its
// state says, so a small hole in a large grid keeps a small map.
#pragma once

#include "structure/fill_grid.h"
#include "structure/grid_box.h"

#include <cstdint>
#include <vector>

constexpr int32_t NoLabel = -2;    // a hole pixel no offset can fill, or a pixel neither known nor hole
constexpr int32_t KnownLabel = -1; // a known pixel: itself, offset 0

class LabelMap {
public:
    LabelMap() = default;
    // Every pixel starts as its state says: known, or no label.
    LabelMap(const FillGrid& grid, const GridBox& box) : m_width(grid.width), m_state(&grid.state)
    {
        m_box = GridBox{std::max(box.minX, 0), std::min(box.maxX, grid.width - 1), std::max(box.minY, 0),
                        std::min(box.maxY, grid.height - 1)};
        if (m_box.Empty())
            return;
        m_labels.resize(static_cast<std::size_t>(m_box.Width()) * m_box.Height());
        for (int y = m_box.minY; y <= m_box.maxY; ++y)
            for (int x = m_box.minX; x <= m_box.maxX; ++x)
                m_labels[Slot(x, y)] = OfState(grid.Index(x, y));
    }

    int32_t operator[](int index) const
    {
        const int x = index % m_width;
        const int y = index / m_width;
        return m_box.DistanceTo(x, y) == 0 ? m_labels[Slot(x, y)] : OfState(index);
    }
    // Only for pixels inside the box.
    void Set(int index, int32_t label) { m_labels[Slot(index % m_width, index / m_width)] = label; }
    const GridBox& Box() const { return m_box; }

private:
    int32_t OfState(int index) const { return (*m_state)[index] >= StateKnown ? KnownLabel : NoLabel; }
    std::size_t Slot(int x, int y) const
    {
        return static_cast<std::size_t>(y - m_box.minY) * m_box.Width() + (x - m_box.minX);
    }

    int m_width = 0;
    const std::vector<uint8_t>* m_state = nullptr;
    GridBox m_box;
    std::vector<int32_t> m_labels;
};
