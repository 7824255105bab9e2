// SPDX-License-Identifier: MIT
// The inner loop of the exemplar search: the candidates of one line of the
// ring, each compared row by row in masked byte blocks. A template over the
// block policy, made once for any processor (exemplar_search.cpp) and once
// compiled for AVX2 (candidate_scan_avx2.cpp).
#pragma once

#include "engine/job_scratch.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

// The square ring of candidates around (cx, cy): outer radius outer, without
// those nearer than gap in both directions.
struct Ring {
    int cx, cy, outer, gap;

    // The candidates come in lines: each strip is an outer loop over lines
    // and an inner loop along them, and the strips follow one another.
    int Lines() const { return 2 * (2 * outer + 1) + 2 * (2 * gap + 1); }
    int CandidatesPerLine() const { return outer - gap + 1; }
};

// What the search of one line needs to know.
struct LineSearch {
    const Ring* ring;
    int half;
    const uint8_t* colourBuffer;
    const uint8_t* maskBuffer;
    int width;
    const TargetRows* target;
    SharedBest* sharedBest;
};

using LineSearcher = LineBest (*)(const LineSearch&, int);

// The AVX2 line search for 1, 3 or 4 bytes per pixel; call it only when
// HasWideBlocks says the processor runs it.
LineSearcher WideLineSearcher(int bytesPerPixel);

// Calls visit(u, v) for the candidates of line k of the ring, in the order
// of trial. The strips share their border lines; a second try of a
// candidate never wins, since winning needs a strictly lower cost.
template <typename Visit>
inline void ForEachCandidateOfLine(const Ring& ring, int k, Visit visit)
{
    const int cx = ring.cx, cy = ring.cy, outer = ring.outer, g = ring.gap;
    const int wide = 2 * outer + 1;
    if (k < wide) {
        for (int v = cy - outer; v <= cy - g; ++v)
            visit(cx - outer + k, v);
    } else if ((k -= wide) < wide) {
        for (int v = cy + g; v <= cy + outer; ++v)
            visit(cx - outer + k, v);
    } else if ((k -= wide) < 2 * g + 1) {
        for (int u = cx - outer; u <= cx - g; ++u)
            visit(u, cy - g + k);
    } else {
        k -= 2 * g + 1;
        for (int u = cx + g; u <= cx + outer; ++u)
            visit(u, cy - g + k);
    }
}

// The summed absolute difference of the candidate whose patch starts at
// buffer pixel corner, or -1 when a known target position faces a pixel
// that is not Source or when the partial sum reaches limit: from there on
// the candidate cannot win.
template <typename Blocks, int BytesPerPixel>
inline int CandidateSum(const TargetRows& target, std::ptrdiff_t corner, const uint8_t* colourBuffer,
                        const uint8_t* maskBuffer, int limit)
{
    int sum = 0;
    for (int row = 0; row < target.rows; ++row) {
        const std::ptrdiff_t start = corner + target.lineOffset[row];
        if (!Blocks::BytesAre(maskBuffer + start, target.codeSkip[row], target.codeCount, MaskSource))
            return -1;
        sum += Blocks::SumAbsDiff(colourBuffer + start * BytesPerPixel, target.colour[row], target.colourKeep[row],
                                  target.colourCount);
        if (sum >= limit)
            return -1;
    }
    return sum;
}

// The first candidate of the lowest sum on line k. A candidate must sum to
// less than the earlier ones of its line and to no more than the lowest sum
// found anywhere in the ring.
template <typename Blocks, int BytesPerPixel>
LineBest SearchLine(const LineSearch& search, int k)
{
    LineBest best{NoSum, {0, 0}};
    ForEachCandidateOfLine(*search.ring, k, [&](int u, int v) {
        if (search.maskBuffer[static_cast<std::ptrdiff_t>(v) * search.width + u] != MaskSource)
            return;
        const int limit = std::min(best.sum, search.sharedBest->Get() + 1);
        const std::ptrdiff_t corner = static_cast<std::ptrdiff_t>(v - search.half) * search.width + (u - search.half);
        const int sum = CandidateSum<Blocks, BytesPerPixel>(*search.target, corner, search.colourBuffer,
                                                            search.maskBuffer, limit);
        if (sum < 0)
            return;
        best = {sum, {u, v}};
        search.sharedBest->Offer(sum);
    });
    return best;
}

// The line search for 1, 3 or 4 bytes per pixel with the given blocks.
template <typename Blocks>
LineSearcher LineSearcherFor(int bytesPerPixel)
{
    switch (bytesPerPixel) {
    case 1: return &SearchLine<Blocks, 1>;
    case 3: return &SearchLine<Blocks, 3>;
    case 4: return &SearchLine<Blocks, 4>;
    default: return nullptr;
    }
}
