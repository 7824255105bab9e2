// SPDX-License-Identifier: MIT
// Exemplar search. The target's known sampled pixels are kept as runs of
// buffer offsets, and each candidate is compared straight from the buffers,
// run by run in blocks of bytes, stopping as soon as it is rejected or can
// no longer win. The lines of a large ring are searched on several threads.
#include "engine/exemplar_search.h"

#include "engine/byte_runs.h"
#include "kernels/parallel_for.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <vector>

namespace {

constexpr int ValueLead = 16;

// The known sampled positions of the target patch as runs of neighbouring
// pixels (with a sampling step above 1 every run is one pixel), row after row.
struct TargetSamples {
    int runs = 0;
    int rows = 0;
    int rowEnd[MaxPatchSize];                       // one past the row's last run
    int32_t offset[MaxPatchSize * MaxPatchSize];    // run start from the patch's first pixel, in pixels
    int32_t length[MaxPatchSize * MaxPatchSize];    // pixels in the run
    int32_t valueStart[MaxPatchSize * MaxPatchSize]; // where the run's bytes start in value
    // The pixels' bytes, bytesPerPixel each, behind a lead of ValueLead
    // bytes that the block reads may touch.
    uint8_t value[ValueLead + MaxPatchSize * MaxPatchSize * 4];
};

TargetSamples g_target;

// Fills one plane entry of a patch table from a window pixel, or zeroes it.
void SetPlaneEntry(PatchPlanes& planes, int i, int j, bool usable, const uint8_t* pixel, int bytesPerPixel)
{
    planes.plane[0][i][j] = usable ? 1 : 0;
    // Planes past the pixel's bytes are zeroed, not read from the next pixel.
    for (int k = 0; k < 4; ++k)
        planes.plane[1 + k][i][j] = usable && k < bytesPerPixel ? pixel[k] : 0;
}

struct Ring {
    int cx, cy, outer, gap;

    // The candidates come in lines: each strip is an outer loop over lines
    // and an inner loop along them, and the strips follow one another.
    int Lines() const { return 2 * (2 * outer + 1) + 2 * (2 * gap + 1); }
    int CandidatesPerLine() const { return outer - gap + 1; }
};

// The lowest cost found so far anywhere in the ring. A candidate that
// costs more than that cannot win, whichever line found it.
class SharedBest {
public:
    void Reset() { m_cost.store(NoMatchCost, std::memory_order_relaxed); }
    double Get() const { return m_cost.load(std::memory_order_relaxed); }
    void Offer(double cost)
    {
        double current = m_cost.load(std::memory_order_relaxed);
        while (cost < current && !m_cost.compare_exchange_weak(current, cost, std::memory_order_relaxed)) {
        }
    }

private:
    std::atomic<double> m_cost{NoMatchCost};
};

struct LineBest {
    double cost;
    WindowPoint at;
};

SharedBest g_sharedBest;
std::vector<LineBest> g_lineBest; // one per line of the ring; grows, never shrinks

// The most a candidate's summed difference can be.
constexpr long long MaxSum = 255LL * 4 * MaxPatchSize * MaxPatchSize;

// The least sum whose cost, sum / denominator in the cost's own arithmetic,
// is at least bound (orEqual) or above it. Division by a positive number
// keeps the order, so a candidate whose partial sum reaches this can only
// end with a cost beyond the bound: comparing sums decides exactly what
// comparing costs would.
int SumLimit(double bound, double denominator, bool orEqual)
{
    const auto beyond = [&](long long sum) {
        const double cost = static_cast<double>(sum) / denominator;
        return orEqual ? cost >= bound : cost > bound;
    };
    long long sum = static_cast<long long>(std::min(std::floor(bound * denominator), static_cast<double>(MaxSum + 1)));
    sum = std::max(sum, 0LL);
    while (sum > 0 && beyond(sum - 1))
        --sum;
    while (sum <= MaxSum && !beyond(sum))
        ++sum;
    return static_cast<int>(sum);
}

// What the search of one line needs to know.
struct LineSearch {
    const Ring* ring;
    int half;
    double denominator;
    const uint8_t* colourBuffer;
    const uint8_t* maskBuffer;
    int width;
};

using LineSearcher = LineBest (*)(const LineSearch&, int);

namespace blocks {
#define QUENLO_SCAN_ALL_ARE AllBytesAre
#define QUENLO_SCAN_SUM_ABS_DIFF SumAbsDiff
#include "engine/candidate_scan.inc"
#undef QUENLO_SCAN_ALL_ARE
#undef QUENLO_SCAN_SUM_ABS_DIFF
} // namespace blocks

#if defined(QUENLO_WIDE_BLOCKS)
#pragma GCC push_options
#pragma GCC target("avx2")
namespace wide_blocks {
#define QUENLO_SCAN_ALL_ARE AllBytesAreWide
#define QUENLO_SCAN_SUM_ABS_DIFF SumAbsDiffWide
#include "engine/candidate_scan.inc"
#undef QUENLO_SCAN_ALL_ARE
#undef QUENLO_SCAN_SUM_ABS_DIFF
} // namespace wide_blocks
#pragma GCC pop_options

template <int BytesPerPixel>
LineSearcher ChooseLineSearcher()
{
    static const LineSearcher chosen =
        HasWideBlocks() ? &wide_blocks::SearchLine<BytesPerPixel> : &blocks::SearchLine<BytesPerPixel>;
    return chosen;
}
#else
template <int BytesPerPixel>
LineSearcher ChooseLineSearcher()
{
    return &blocks::SearchLine<BytesPerPixel>;
}
#endif

// Lines are searched independently, on as many threads as the work is worth;
// each keeps the first candidate of its lowest cost. The winner is the
// lowest cost, the earliest line on ties: exactly the candidate a search in
// the order of trial accepts last.
template <int BytesPerPixel>
bool SearchRing(const Ring& ring, int s, int targetKnownCount, const uint8_t* colourBuffer,
                const uint8_t* maskBuffer, int width)
{
    const double denominator = static_cast<double>(targetKnownCount * BytesPerPixel);
    const int half = s / 2;
    const int lines = ring.Lines();
    if (g_lineBest.size() < static_cast<std::size_t>(lines))
        g_lineBest.resize(static_cast<std::size_t>(lines));
    g_sharedBest.Reset();

    const LineSearch search{&ring, half, denominator, colourBuffer, maskBuffer, width};
    const LineSearcher searchLine = ChooseLineSearcher<BytesPerPixel>();
    const auto searchAndKeep = [&](int k) { g_lineBest[static_cast<std::size_t>(k)] = searchLine(search, k); };
    ParallelFor(0, lines, searchAndKeep, ring.CandidatesPerLine() * targetKnownCount);

    bool found = false;
    double bestCost = NoMatchCost;
    for (int k = 0; k < lines; ++k) {
        if (g_lineBest[static_cast<std::size_t>(k)].cost < bestCost) {
            bestCost = g_lineBest[static_cast<std::size_t>(k)].cost;
            BestMatch = g_lineBest[static_cast<std::size_t>(k)].at;
            found = true;
        }
    }
    return found;
}

// ExemplarPlanes at the sampled positions of the winner, as its patch was
// loaded when it won; the buffers do not change during a search.
void LoadExemplar(int s, const uint8_t* colourBuffer, const uint8_t* maskBuffer, int bytesPerPixel, int width,
                  int searchStep)
{
    const int half = s / 2;
    for (int i = 0; i < s; i += searchStep) {
        for (int j = 0; j < s; j += searchStep) {
            const std::size_t index =
                static_cast<std::size_t>(BestMatch.y - half + j) * width + (BestMatch.x - half + i);
            SetPlaneEntry(ExemplarPlanes, i, j, maskBuffer[index] == MaskSource, colourBuffer + index * bytesPerPixel,
                          bytesPerPixel);
        }
    }
}

} // namespace

int SearchStepFor(int patchSize)
{
    const int step = static_cast<int>(std::trunc(patchSize * 0.03125 + 0.5));
    return step == 0 ? 1 : step;
}

int LoadTarget(int x, int y, int s, const uint8_t* colourBuffer, const uint8_t* maskBuffer, int bytesPerPixel,
               int width, int searchStep)
{
    const int half = s / 2;
    for (int i = 0; i < s; i += searchStep) {
        for (int j = 0; j < s; j += searchStep) {
            const std::size_t index = static_cast<std::size_t>(y - half + j) * width + (x - half + i);
            SetPlaneEntry(TargetPlanes, i, j, IsKnownCode(maskBuffer[index]), colourBuffer + index * bytesPerPixel,
                          bytesPerPixel);
        }
    }

    // The runs, row by row; the integer sum does not depend on the order in
    // which the positions are compared.
    g_target.runs = 0;
    g_target.rows = 0;
    int known = 0;
    int bytes = ValueLead;
    for (int j = 0; j < s; j += searchStep) {
        bool inRun = false;
        for (int i = 0; i < s; i += searchStep) {
            if (TargetPlanes.plane[0][i][j] == 0) {
                inRun = false;
                continue;
            }
            if (!inRun || searchStep > 1) {
                const int run = g_target.runs++;
                g_target.offset[run] = j * width + i;
                g_target.length[run] = 0;
                g_target.valueStart[run] = bytes;
                inRun = true;
            }
            ++g_target.length[g_target.runs - 1];
            for (int c = 0; c < bytesPerPixel; ++c)
                g_target.value[bytes++] = static_cast<uint8_t>(TargetPlanes.plane[1 + c][i][j]);
            ++known;
        }
        g_target.rowEnd[g_target.rows++] = g_target.runs;
    }
    return known;
}

WindowPoint SearchCentre(int x, int y, bool firstPass)
{
    WindowPoint centre{x, y};
    if (firstPass)
        return centre;
    int nearest = 30000;
    for (const WindowPoint& p : InitialFront) {
        const int distance = std::abs(p.x - x) + std::abs(p.y - y);
        if (distance < nearest) {
            nearest = distance;
            centre = p;
        }
    }
    return centre;
}

bool SearchExemplar(int cx, int cy, int s, int g, int targetKnownCount, const uint8_t* colourBuffer,
                    const uint8_t* maskBuffer, int bytesPerPixel, int width, int searchStep)
{
    // Without a known target position every candidate costs the starting
    // best, and none can be strictly below it.
    if (targetKnownCount == 0)
        return false;
    const Ring ring{cx, cy, s + g, g};
    bool found = false;
    switch (bytesPerPixel) {
    case 1: found = SearchRing<1>(ring, s, targetKnownCount, colourBuffer, maskBuffer, width); break;
    case 3: found = SearchRing<3>(ring, s, targetKnownCount, colourBuffer, maskBuffer, width); break;
    case 4: found = SearchRing<4>(ring, s, targetKnownCount, colourBuffer, maskBuffer, width); break;
    default: return false;
    }
    if (found)
        LoadExemplar(s, colourBuffer, maskBuffer, bytesPerPixel, width, searchStep);
    return found;
}
