// SPDX-License-Identifier: MIT
// The working memory of the exemplar search and of the front build: one
// record a job, owned by the job's driver, so that nothing of one job
// lingers in the process for the next.
#pragma once

#include "engine/inpaint_job.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

// The sampled rows of the target patch that hold a known sampled pixel, each
// as whole rows of mask codes and colour bytes with masks of which bytes
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

// The first candidate of the lowest sum on one line of the ring.
struct LineBest {
    int sum;
    WindowPoint at;
};

struct JobScratch {
    TargetRows target;
    SharedBest sharedBest;
    std::vector<LineBest> lineBest; // one per line of the ring; grows, never shrinks
    // The front build's marks, one line at a time.
    std::vector<uint8_t> holeColumns;
    std::vector<uint8_t> nearHole;
};
