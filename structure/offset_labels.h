// SPDX-License-Identifier: MIT
// Which offset each hole pixel copies with, chosen jointly: a pixel may only
// copy a Source pixel, a nearer source costs a little less, and two
// neighbours that copy with different offsets pay for how much their two
// sources disagree there, so seams run where the copies agree and a long
// structure keeps one offset. Improved by expansion moves, each a minimum cut.
#pragma once

#include "structure/fill_grid.h"
#include "structure/label_map.h"

#include <atomic>
#include <cstdint>
#include <vector>

class OffsetEnergy {
public:
    OffsetEnergy(const FillGrid& grid, const std::vector<Offset>& offsets);

    bool Allowed(int x, int y, int32_t label) const
    {
        const Offset& o = m_offsets[label];
        return m_grid.SourceAt(x + o.dx, y + o.dy);
    }
    // What copying with an allowed label costs the pixel itself.
    int64_t Data(int32_t label) const { return m_nearCost[label]; }
    // What neighbours p and q pay for copying with labels a and b.
    int64_t Seam(int px, int py, int qx, int qy, int32_t a, int32_t b) const;

    const FillGrid& Grid() const { return m_grid; }
    const std::vector<Offset>& Offsets() const { return m_offsets; }

private:
    // Half of the seam cost: the two sources' disagreement at one pixel;
    // -1 when the pixel is the hole itself, which has no colour to compare.
    int64_t Disagreement(int x, int y, int32_t a, int32_t b) const;

    const FillGrid& m_grid;
    const std::vector<Offset>& m_offsets;
    std::vector<int64_t> m_nearCost;
};

// Gives every hole pixel the first allowed label (labels come most useful
// first) and returns the hole pixels that have one; labels must hold them all.
std::vector<int> FirstAllowedLabels(const OffsetEnergy& energy, LabelMap& labels);

// Runs rounds of expansion moves (every label once, in order) over nodes,
// the other pixels keeping theirs, until a round changes nothing or rounds
// have run. With reach >= 0 a label only spreads to nodes within reach of
// the box of the pixels that hold it. False when stop was set on the way.
bool ExpandLabels(const OffsetEnergy& energy, LabelMap& labels, const std::vector<int>& nodes, int rounds,
                  int reach, const std::atomic<bool>* stop);
