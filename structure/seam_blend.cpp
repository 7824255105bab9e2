// SPDX-License-Identifier: MIT
#include "structure/seam_blend.h"

#include "kernels/parallel_for.h"
#include "kernels/rounding.h"

#include <algorithm>
#include <array>

namespace {

enum CellKind : uint8_t { CellFree = 0, CellFixed = 1, CellUnknown = 2 };

// Keeps a part of the hole cut off from the known picture from drifting.
constexpr double Anchor = 1e-3;
constexpr int Cycles = 4;
constexpr int Smoothings = 2;
constexpr int CoarsestSweeps = 60;
// Blocks of cells solve a smoothed problem; a coarse correction scaled up
// makes up for what the flat blocks miss.
constexpr double CoarseCorrection = 1.5;

constexpr int Steps[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};

// One level of the multigrid: the unknown corrections of the hole's pixels,
// zero on the known pixels around it. Each unknown cell is tied to its four
// neighbours with a weight (the number of pixel pairs between the two
// blocks), so every level is the one below seen through its blocks.
struct Level {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<uint8_t> kind;
    std::vector<double> diagonal;
    std::vector<std::array<double, 4>> weight;
    std::vector<double> rhs;
    std::vector<double> value;

    int Index(int x, int y) const { return y * width + x; }
    bool Unknown(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < width && y < height && kind[Index(x, y)] == CellUnknown;
    }
    bool Counts(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < width && y < height && kind[Index(x, y)] != CellFree;
    }
    // Solves the cell's own equation for its value, the neighbours held.
    void Relax(int x, int y)
    {
        const int index = Index(x, y);
        double sum[4];
        for (int c = 0; c < channels; ++c)
            sum[c] = rhs[static_cast<std::size_t>(index) * channels + c];
        for (int k = 0; k < 4; ++k) {
            const double w = weight[index][k];
            if (w == 0.0)
                continue;
            const double* neighbour = &value[static_cast<std::size_t>(Index(x + Steps[k][0], y + Steps[k][1])) * channels];
            for (int c = 0; c < channels; ++c)
                sum[c] += w * neighbour[c];
        }
        const double inverse = 1.0 / diagonal[index];
        for (int c = 0; c < channels; ++c)
            value[static_cast<std::size_t>(index) * channels + c] = sum[c] * inverse;
    }
    // rhs + the neighbours' pull, for channel c of cell (x, y).
    double Pull(int x, int y, int c) const
    {
        const int index = Index(x, y);
        double sum = rhs[static_cast<std::size_t>(index) * channels + c];
        for (int k = 0; k < 4; ++k)
            if (weight[index][k] != 0.0)
                sum += weight[index][k] * value[static_cast<std::size_t>(Index(x + Steps[k][0], y + Steps[k][1])) * channels + c];
        return sum;
    }
};

// The finest level's weights: one to every unknown neighbour, and a
// diagonal that counts the fixed ones too.
void SetPixelWeights(Level& level)
{
    level.diagonal.assign(level.kind.size(), 0.0);
    level.weight.assign(level.kind.size(), {0.0, 0.0, 0.0, 0.0});
    for (int y = 0; y < level.height; ++y)
        for (int x = 0; x < level.width; ++x) {
            const int index = level.Index(x, y);
            if (level.kind[index] != CellUnknown)
                continue;
            int count = 0;
            for (int k = 0; k < 4; ++k) {
                count += level.Counts(x + Steps[k][0], y + Steps[k][1]) ? 1 : 0;
                level.weight[index][k] = level.Unknown(x + Steps[k][0], y + Steps[k][1]) ? 1.0 : 0.0;
            }
            level.diagonal[index] = count + Anchor;
        }
}

// Red, then black: each half reads only the other, so rows can run on any thread.
void Smooth(Level& level, int sweeps)
{
    for (int sweep = 0; sweep < sweeps; ++sweep)
        for (int colour = 0; colour < 2; ++colour)
            ParallelFor(0, level.height, [&](int y) {
                for (int x = (y + colour) & 1; x < level.width; x += 2) {
                    const int index = level.Index(x, y);
                    if (level.kind[index] != CellUnknown)
                        continue;
                    level.Relax(x, y);
                }
            }, level.width);
}

// The level below: a cell per 2 x 2 block of unknown cells, its equation the
// sum of theirs (weights inside the block cancel against the diagonal), its
// right-hand side the sum of their residuals.
Level Coarser(const Level& fine)
{
    Level coarse;
    coarse.width = (fine.width + 1) / 2;
    coarse.height = (fine.height + 1) / 2;
    coarse.channels = fine.channels;
    const int channels = fine.channels;
    coarse.kind.assign(static_cast<std::size_t>(coarse.width) * coarse.height, CellFree);
    coarse.diagonal.assign(coarse.kind.size(), 0.0);
    coarse.weight.assign(coarse.kind.size(), {0.0, 0.0, 0.0, 0.0});
    coarse.rhs.assign(coarse.kind.size() * channels, 0.0);
    coarse.value.assign(coarse.kind.size() * channels, 0.0);
    for (int y = 0; y < fine.height; ++y)
        for (int x = 0; x < fine.width; ++x) {
            const int index = fine.Index(x, y);
            if (fine.kind[index] != CellUnknown)
                continue;
            const int parent = coarse.Index(x / 2, y / 2);
            coarse.kind[parent] = CellUnknown;
            coarse.diagonal[parent] += fine.diagonal[index];
            for (int k = 0; k < 4; ++k) {
                const double w = fine.weight[index][k];
                if (w == 0.0)
                    continue;
                const int nx = (x + Steps[k][0]) / 2;
                const int ny = (y + Steps[k][1]) / 2;
                if (nx == x / 2 && ny == y / 2)
                    coarse.diagonal[parent] -= w;
                else
                    coarse.weight[parent][k] += w;
            }
            for (int c = 0; c < channels; ++c)
                coarse.rhs[static_cast<std::size_t>(parent) * channels + c] +=
                    fine.Pull(x, y, c) - fine.diagonal[index] * fine.value[static_cast<std::size_t>(index) * channels + c];
        }
    return coarse;
}

void Cycle(Level& level)
{
    if (level.width <= 4 || level.height <= 4) {
        Smooth(level, CoarsestSweeps);
        return;
    }
    Smooth(level, Smoothings);
    Level coarse = Coarser(level);
    Cycle(coarse);
    const int channels = level.channels;
    for (int y = 0; y < level.height; ++y)
        for (int x = 0; x < level.width; ++x) {
            const int index = level.Index(x, y);
            if (level.kind[index] != CellUnknown)
                continue;
            const int parent = coarse.Index(x / 2, y / 2);
            for (int c = 0; c < channels; ++c)
                level.value[static_cast<std::size_t>(index) * channels + c] +=
                    CoarseCorrection * coarse.value[static_cast<std::size_t>(parent) * channels + c];
        }
    Smooth(level, Smoothings);
}

} // namespace

BlendedColours BlendSeams(const FillGrid& grid, const FineLabels& labels)
{
    BoxBuilder builder;
    const GridBox& stored = labels.labels.Box();
    for (int y = stored.minY; y <= stored.maxY; ++y)
        for (int x = stored.minX; x <= stored.maxX; ++x)
            if (labels.labels[grid.Index(x, y)] >= 0 && grid.state[grid.Index(x, y)] == StateHole)
                builder.Include(x, y);
    BlendedColours result;
    result.channels = grid.channels;
    if (!builder.any)
        return result;
    result.box = builder.Grown(0);
    const GridBox outer = builder.Grown(1);
    const int channels = grid.channels;

    auto labelAt = [&](int x, int y) {
        return grid.Inside(x, y) && grid.state[grid.Index(x, y)] == StateHole ? labels.labels[grid.Index(x, y)]
                                                                              : NoLabel;
    };
    auto copyOf = [&](int x, int y, int32_t label, int c) -> int {
        const Offset o = labels.offsets[label];
        return grid.ColourAt(x + o.dx, y + o.dy)[c];
    };

    Level level;
    level.width = outer.Width();
    level.height = outer.Height();
    level.channels = channels;
    level.kind.assign(static_cast<std::size_t>(level.width) * level.height, CellFree);
    for (int y = 0; y < level.height; ++y)
        for (int x = 0; x < level.width; ++x) {
            const int gx = outer.minX + x;
            const int gy = outer.minY + y;
            if (labelAt(gx, gy) >= 0)
                level.kind[level.Index(x, y)] = CellUnknown;
            else if (grid.KnownAt(gx, gy) && grid.state[grid.Index(gx, gy)] != StateHole)
                level.kind[level.Index(x, y)] = CellFixed;
        }
    SetPixelWeights(level);
    level.value.assign(level.kind.size() * channels, 0.0);
    level.rhs.assign(level.kind.size() * channels, 0.0);

    // The right-hand side: what each step to a neighbour should be, less what the copies give.
    ParallelFor(0, level.height, [&](int y) {
        for (int x = 0; x < level.width; ++x) {
            const int index = level.Index(x, y);
            if (level.kind[index] != CellUnknown)
                continue;
            const int gx = outer.minX + x;
            const int gy = outer.minY + y;
            const int32_t own = labelAt(gx, gy);
            const Offset op = labels.offsets[own];
            for (const auto& s : Steps) {
                const int qx = gx + s[0];
                const int qy = gy + s[1];
                if (!level.Counts(x + s[0], y + s[1]))
                    continue;
                const int32_t other = labelAt(qx, qy);
                if (other == own)
                    continue;
                for (int c = 0; c < channels; ++c) {
                    const int here = copyOf(gx, gy, own, c);
                    const int there = other >= 0 ? copyOf(qx, qy, other, c) : grid.ColourAt(qx, qy)[c];
                    double wanted = 0.0;
                    int views = 0;
                    if (grid.KnownAt(qx + op.dx, qy + op.dy)) {
                        wanted += here - grid.ColourAt(qx + op.dx, qy + op.dy)[c];
                        ++views;
                    }
                    if (other >= 0) {
                        const Offset oq = labels.offsets[other];
                        if (grid.KnownAt(gx + oq.dx, gy + oq.dy)) {
                            wanted += grid.ColourAt(gx + oq.dx, gy + oq.dy)[c] - there;
                            ++views;
                        }
                    }
                    const double step = here - there;
                    level.rhs[static_cast<std::size_t>(index) * channels + c] += views > 0 ? wanted / views - step : 0.0;
                }
            }
        }
    }, level.width);

    for (int cycle = 0; cycle < Cycles; ++cycle)
        Cycle(level);

    result.colour.assign(static_cast<std::size_t>(result.box.Width()) * result.box.Height() * channels, 0);
    ParallelFor(result.box.minY, result.box.maxY + 1, [&](int gy) {
        for (int gx = result.box.minX; gx <= result.box.maxX; ++gx) {
            const int32_t own = labelAt(gx, gy);
            if (own < 0)
                continue;
            const int index = level.Index(gx - outer.minX, gy - outer.minY);
            uint8_t* out = result.colour.data() +
                           (static_cast<std::size_t>(gy - result.box.minY) * result.box.Width() + (gx - result.box.minX)) * channels;
            for (int c = 0; c < channels; ++c) {
                const int value = RoundToInt(copyOf(gx, gy, own, c) + level.value[static_cast<std::size_t>(index) * channels + c]);
                out[c] = static_cast<uint8_t>(std::clamp(value, 0, 255));
            }
        }
    }, result.box.Width());
    return result;
}
