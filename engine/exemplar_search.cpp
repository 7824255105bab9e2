// SPDX-License-Identifier: MIT
// Exemplar search. The target's sampled rows are kept with tables of their
// known pixels, and each candidate is compared straight from the buffers,
// row by row in blocks of bytes, stopping as soon as it is rejected or can
// no longer win. The lines of a large ring are searched on several threads.
#include "engine/exemplar_search.h"

#include "kernels/masked_byte_blocks.h"
#include "kernels/parallel_for.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

namespace {

// The sampled rows of the target patch that hold a known sampled pixel, each
// as whole rows of mask codes and colour bytes with tables of which bytes
// count: a row costs a few block operations however the hole splits it.
struct TargetRows {
    static constexpr int CodeBytes = MaxPatchSize;
    static constexpr int ColourBytes = MaxPatchSize * 4;

    int rows = 0;
    int codeCount = 0;   // bytes compared per row of codes: the patch edge
    int colourCount = 0; // and of colours: the edge times bytes per pixel
    std::ptrdiff_t lineOffset[MaxPatchSize]; // the row's start from the patch's first pixel, in pixels
    // 0 at a known sampled pixel, 0xFF elsewhere.
    alignas(32) uint8_t codeSkip[MaxPatchSize][CodeBytes];
    // 0xFF at the bytes of a known sampled pixel, 0 elsewhere.
    alignas(32) uint8_t colourKeep[MaxPatchSize][ColourBytes];
    // The known sampled pixels' bytes, 0 elsewhere.
    alignas(32) uint8_t colour[MaxPatchSize][ColourBytes];
};

TargetRows g_target;

// count rounded up to whole 32-byte blocks; the tables' rows hold that much.
std::size_t BlockRounded(int count)
{
    return (static_cast<std::size_t>(count) + 31) / 32 * 32;
}

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

// Every candidate a search accepts faces all targetKnownCount known target
// positions, so its cost is its summed difference over one denominator,
// targetKnownCount * bytesPerPixel (at most 2^16). Sums stay below 2^24, and
// such sums divided by one such denominator give doubles in the order of the
// sums, distinct for distinct sums: comparing sums decides exactly what
// comparing costs would. An accepted cost is at most 255, below the starting
// best cost, so the first accepted candidate always wins at first.

// The most a candidate's summed difference can be, and a sum beyond it that
// stands for no candidate.
constexpr int MaxSum = 255 * 4 * MaxPatchSize * MaxPatchSize;
constexpr int NoSum = MaxSum + 1;

// The lowest sum found so far anywhere in the ring. A candidate whose sum is
// higher cannot win, whichever line found it.
class SharedBest {
public:
    void Reset() { m_sum.store(NoSum, std::memory_order_relaxed); }
    int Get() const { return m_sum.load(std::memory_order_relaxed); }
    void Offer(int sum)
    {
        int current = m_sum.load(std::memory_order_relaxed);
        while (sum < current && !m_sum.compare_exchange_weak(current, sum, std::memory_order_relaxed)) {
        }
    }

private:
    std::atomic<int> m_sum{NoSum};
};

struct LineBest {
    int sum;
    WindowPoint at;
};

SharedBest g_sharedBest;
std::vector<LineBest> g_lineBest; // one per line of the ring; grows, never shrinks

// What the search of one line needs to know.
struct LineSearch {
    const Ring* ring;
    int half;
    const uint8_t* colourBuffer;
    const uint8_t* maskBuffer;
    int width;
};

using LineSearcher = LineBest (*)(const LineSearch&, int);

namespace blocks {
#define QUENLO_SCAN_KEPT_ARE NarrowBlocks::BytesAre
#define QUENLO_SCAN_KEPT_SUM_ABS_DIFF NarrowBlocks::SumAbsDiff
#include "engine/candidate_scan.inc"
#undef QUENLO_SCAN_KEPT_ARE
#undef QUENLO_SCAN_KEPT_SUM_ABS_DIFF
} // namespace blocks

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__)) && defined(__SSE2__)
#pragma GCC push_options
#pragma GCC target("avx2")
namespace wide_blocks {
#define QUENLO_SCAN_KEPT_ARE WideBlocks::BytesAre
#define QUENLO_SCAN_KEPT_SUM_ABS_DIFF WideBlocks::SumAbsDiff
#include "engine/candidate_scan.inc"
#undef QUENLO_SCAN_KEPT_ARE
#undef QUENLO_SCAN_KEPT_SUM_ABS_DIFF
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
// each keeps the first candidate of its lowest sum. The winner is the
// lowest sum, the earliest line on ties: exactly the candidate a search in
// the order of trial accepts last.
template <int BytesPerPixel>
bool SearchRing(const Ring& ring, int s, int targetKnownCount, const uint8_t* colourBuffer,
                const uint8_t* maskBuffer, int width)
{
    const int half = s / 2;
    const int lines = ring.Lines();
    if (g_lineBest.size() < static_cast<std::size_t>(lines))
        g_lineBest.resize(static_cast<std::size_t>(lines));
    g_sharedBest.Reset();

    const LineSearch search{&ring, half, colourBuffer, maskBuffer, width};
    const LineSearcher searchLine = ChooseLineSearcher<BytesPerPixel>();
    const auto searchAndKeep = [&](int k) { g_lineBest[static_cast<std::size_t>(k)] = searchLine(search, k); };
    ParallelFor(0, lines, searchAndKeep, ring.CandidatesPerLine() * targetKnownCount);

    int bestSum = NoSum;
    for (int k = 0; k < lines; ++k) {
        if (g_lineBest[static_cast<std::size_t>(k)].sum < bestSum) {
            bestSum = g_lineBest[static_cast<std::size_t>(k)].sum;
            BestMatch = g_lineBest[static_cast<std::size_t>(k)].at;
        }
    }
    return bestSum != NoSum;
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

    // The rows in the order of the patch; the integer sum does not depend on
    // the order in which the positions are compared.
    g_target.rows = 0;
    g_target.codeCount = s;
    g_target.colourCount = s * bytesPerPixel;
    int known = 0;
    for (int j = 0; j < s; j += searchStep) {
        const int row = g_target.rows;
        uint8_t* const skip = g_target.codeSkip[row];
        uint8_t* const keep = g_target.colourKeep[row];
        uint8_t* const value = g_target.colour[row];
        // The comparisons read whole blocks of up to 32 bytes.
        std::memset(skip, 0xFF, BlockRounded(g_target.codeCount));
        std::memset(keep, 0, BlockRounded(g_target.colourCount));
        std::memset(value, 0, BlockRounded(g_target.colourCount));
        int rowKnown = 0;
        for (int i = 0; i < s; i += searchStep) {
            if (TargetPlanes.plane[0][i][j] == 0)
                continue;
            skip[i] = 0;
            for (int c = 0; c < bytesPerPixel; ++c) {
                keep[i * bytesPerPixel + c] = 0xFF;
                value[i * bytesPerPixel + c] = static_cast<uint8_t>(TargetPlanes.plane[1 + c][i][j]);
            }
            ++rowKnown;
        }
        if (rowKnown == 0)
            continue;
        g_target.lineOffset[row] = static_cast<std::ptrdiff_t>(j) * width;
        ++g_target.rows;
        known += rowKnown;
    }
    return known;
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
