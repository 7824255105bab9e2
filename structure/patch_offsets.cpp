// SPDX-License-Identifier: MIT
// Nearest patches by randomised search with propagation: each round every
// query tries the offsets its neighbours held in the round before (some
// steps away, halving) and random offsets around its own, so the result does
// not depend on the order or the threads the queries run on.
#include "structure/patch_offsets.h"

#include "kernels/parallel_for.h"
#include "structure/counter_random.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

constexpr int PatchRadius = 3;
constexpr int Rounds = 5;
constexpr int Unmatched = std::numeric_limits<int>::max();

// 1 where a whole patch around the pixel is Source.
std::vector<uint8_t> WholePatchCentres(const FillGrid& grid)
{
    const int w = grid.width;
    const int h = grid.height;
    std::vector<int> table(static_cast<std::size_t>(w + 1) * (h + 1), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            table[(y + 1) * (w + 1) + x + 1] = (grid.state[grid.Index(x, y)] == StateSource ? 1 : 0) +
                                                table[y * (w + 1) + x + 1] + table[(y + 1) * (w + 1) + x] -
                                                table[y * (w + 1) + x];
    std::vector<uint8_t> centres(static_cast<std::size_t>(w) * h, 0);
    const int side = 2 * PatchRadius + 1;
    for (int y = PatchRadius; y < h - PatchRadius; ++y)
        for (int x = PatchRadius; x < w - PatchRadius; ++x) {
            const int x0 = x - PatchRadius;
            const int y0 = y - PatchRadius;
            const int sum = table[(y0 + side) * (w + 1) + x0 + side] - table[y0 * (w + 1) + x0 + side] -
                            table[(y0 + side) * (w + 1) + x0] + table[y0 * (w + 1) + x0];
            centres[grid.Index(x, y)] = sum == side * side ? 1 : 0;
        }
    return centres;
}

class PatchMatcher {
public:
    PatchMatcher(const FillGrid& grid, const std::vector<uint8_t>& centres, int minimumShift)
        : m_grid(grid), m_centres(centres), m_minimumShift(minimumShift)
    {
    }

    // The patch difference of the query at (x, y) and the candidate dx, dy
    // away, or Unmatched when the candidate is unusable or worse than limit.
    int Cost(int x, int y, int dx, int dy, int limit) const
    {
        const int cx = x + dx;
        const int cy = y + dy;
        if (std::max(std::abs(dx), std::abs(dy)) <= m_minimumShift || !m_grid.Inside(cx, cy) ||
            m_centres[m_grid.Index(cx, cy)] == 0)
            return Unmatched;
        const int channels = m_grid.channels;
        const int span = (2 * PatchRadius + 1) * channels;
        int sum = 0;
        for (int j = -PatchRadius; j <= PatchRadius; ++j) {
            const uint8_t* a = m_grid.ColourAt(x - PatchRadius, y + j);
            const uint8_t* b = m_grid.ColourAt(cx - PatchRadius, cy + j);
            for (int k = 0; k < span; ++k) {
                const int d = a[k] - b[k];
                sum += d * d;
            }
            if (sum >= limit)
                return Unmatched;
        }
        return sum;
    }

private:
    const FillGrid& m_grid;
    const std::vector<uint8_t>& m_centres;
    int m_minimumShift;
};

struct Match {
    int16_t dx = 0;
    int16_t dy = 0;
    int cost = Unmatched;
};

void Try(const PatchMatcher& matcher, int x, int y, int dx, int dy, Match& best)
{
    if (dx == best.dx && dy == best.dy && best.cost != Unmatched)
        return;
    const int cost = matcher.Cost(x, y, dx, dy, best.cost);
    if (cost < best.cost)
        best = Match{static_cast<int16_t>(dx), static_cast<int16_t>(dy), cost};
}

std::vector<Match> NearestPatches(const FillGrid& grid, const std::vector<uint8_t>& centres, int minimumShift)
{
    const PatchMatcher matcher(grid, centres, minimumShift);
    const int w = grid.width;
    const int h = grid.height;
    std::vector<Match> field(static_cast<std::size_t>(w) * h);
    ParallelFor(0, h, [&](int y) {
        for (int x = 0; x < w; ++x) {
            if (centres[grid.Index(x, y)] == 0)
                continue;
            Match& best = field[grid.Index(x, y)];
            for (uint32_t draw = 0; draw < 4; ++draw) {
                const int cx = CounterRandomIn(PatchRadius, w - 1 - PatchRadius, x, y, 0, 2 * draw);
                const int cy = CounterRandomIn(PatchRadius, h - 1 - PatchRadius, x, y, 0, 2 * draw + 1);
                Try(matcher, x, y, cx - x, cy - y, best);
            }
        }
    }, w * 16);
    std::vector<Match> next(field.size());
    for (int round = 1; round <= Rounds; ++round) {
        const int step = std::max(1, 8 >> (round - 1));
        ParallelFor(0, h, [&](int y) {
            for (int x = 0; x < w; ++x) {
                const int index = grid.Index(x, y);
                if (centres[index] == 0)
                    continue;
                Match best = field[index];
                const int neighbours[4][2] = {{-step, 0}, {step, 0}, {0, -step}, {0, step}};
                for (const auto& n : neighbours) {
                    const int nx = x + n[0];
                    const int ny = y + n[1];
                    if (!grid.Inside(nx, ny) || field[grid.Index(nx, ny)].cost == Unmatched)
                        continue;
                    const Match& other = field[grid.Index(nx, ny)];
                    Try(matcher, x, y, other.dx, other.dy, best);
                }
                uint32_t draw = 0;
                for (int radius = std::max(w, h); radius >= 1; radius /= 2) {
                    if (best.cost == Unmatched)
                        break;
                    const int dx = best.dx + CounterRandomIn(-radius, radius, x, y, round, draw++);
                    const int dy = best.dy + CounterRandomIn(-radius, radius, x, y, round, draw++);
                    Try(matcher, x, y, dx, dy, best);
                }
                next[index] = best;
            }
        }, w * 64);
        field.swap(next);
    }
    return field;
}

} // namespace

std::vector<Offset> DominantOffsets(const FillGrid& grid, const GridBox& holeBox, int count, int minimumShift)
{
    const int w = grid.width;
    const int h = grid.height;
    if (w <= 2 * PatchRadius || h <= 2 * PatchRadius)
        return {};
    const std::vector<uint8_t> centres = WholePatchCentres(grid);
    const std::vector<Match> field = NearestPatches(grid, centres, minimumShift);

    // Votes, counted more the nearer the patch is to the hole.
    const int binsX = 2 * w - 1;
    const int binsY = 2 * h - 1;
    std::vector<int64_t> votes(static_cast<std::size_t>(binsX) * binsY, 0);
    const int64_t side = std::max(1, holeBox.Side());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Match& match = field[grid.Index(x, y)];
            if (match.cost == Unmatched)
                continue;
            const int64_t weight = 1024 * side / (side + holeBox.DistanceTo(x, y));
            votes[static_cast<std::size_t>(match.dy + h - 1) * binsX + match.dx + w - 1] += weight;
        }

    // A [1 2 1] blur each way, so near-identical offsets add up to one peak.
    std::vector<int64_t> blurred(votes.size(), 0);
    for (int y = 0; y < binsY; ++y)
        for (int x = 0; x < binsX; ++x) {
            int64_t sum = 0;
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i) {
                    const int bx = x + i;
                    const int by = y + j;
                    if (bx >= 0 && by >= 0 && bx < binsX && by < binsY)
                        sum += votes[static_cast<std::size_t>(by) * binsX + bx] * (2 - std::abs(i)) * (2 - std::abs(j));
                }
            blurred[static_cast<std::size_t>(y) * binsX + x] = sum;
        }

    struct Peak {
        int64_t votes;
        int bin;
    };
    std::vector<Peak> peaks;
    for (int y = 0; y < binsY; ++y)
        for (int x = 0; x < binsX; ++x) {
            const int bin = y * binsX + x;
            const int64_t value = blurred[bin];
            if (value == 0)
                continue;
            bool peak = true;
            for (int j = -1; j <= 1 && peak; ++j)
                for (int i = -1; i <= 1 && peak; ++i) {
                    const int bx = x + i;
                    const int by = y + j;
                    if ((i == 0 && j == 0) || bx < 0 || by < 0 || bx >= binsX || by >= binsY)
                        continue;
                    const int64_t other = blurred[static_cast<std::size_t>(by) * binsX + bx];
                    // On a plateau the first bin in scan order is the peak.
                    const bool earlier = j < 0 || (j == 0 && i < 0);
                    peak = earlier ? value > other : value >= other;
                }
            if (peak)
                peaks.push_back(Peak{value, bin});
        }
    std::sort(peaks.begin(), peaks.end(), [](const Peak& a, const Peak& b) {
        return a.votes != b.votes ? a.votes > b.votes : a.bin < b.bin;
    });
    std::vector<Offset> offsets;
    for (const Peak& peak : peaks) {
        if (static_cast<int>(offsets.size()) == count)
            break;
        offsets.push_back(Offset{peak.bin % binsX - (w - 1), peak.bin / binsX - (h - 1)});
    }
    return offsets;
}
