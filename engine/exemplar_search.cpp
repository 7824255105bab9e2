// SPDX-License-Identifier: MIT
// Exemplar search. The target's sampled rows are kept with masks of their
// known pixels, and each candidate is compared straight from the buffers,
// row by row in blocks of bytes, stopping as soon as it is rejected or can
// no longer win. The lines of a large ring are searched on several threads.
#include "engine/exemplar_search.h"

#include "engine/candidate_scan.h"
#include "kernels/masked_byte_blocks.h"
#include "kernels/parallel_for.h"

#include <cmath>
#include <cstring>

namespace {

// count rounded up to whole 32-byte blocks; the tables' rows hold that much.
std::size_t BlockRounded(int count)
{
    return (static_cast<std::size_t>(count) + 31) / 32 * 32;
}

// The line search this processor runs fastest, chosen once.
LineSearcher ChooseLineSearcher(int bytesPerPixel)
{
    static const bool wide = HasWideBlocks();
    return wide ? WideLineSearcher(bytesPerPixel) : LineSearcherFor<NarrowBlocks>(bytesPerPixel);
}

// Lines are searched independently, on as many threads as the work is worth;
// each keeps the first candidate of its lowest sum. The winner is the
// lowest sum, the earliest line on ties: exactly the candidate a search in
// the order of trial accepts last.
bool SearchRing(const WindowView& window, const Ring& ring, int s, int targetKnownCount, LineSearcher searchLine,
                JobScratch& scratch)
{
    const int lines = ring.Lines();
    if (scratch.lineBest.size() < static_cast<std::size_t>(lines))
        scratch.lineBest.resize(static_cast<std::size_t>(lines));
    scratch.sharedBest.Reset();

    const LineSearch search{&ring,        s / 2, window.colourBuffer, window.maskBuffer, window.width,
                            &scratch.target, &scratch.sharedBest};
    LineBest* const lineBest = scratch.lineBest.data();
    ParallelFor(0, lines, [&](int k) { lineBest[k] = searchLine(search, k); },
                ring.CandidatesPerLine() * targetKnownCount);

    int bestSum = NoSum;
    for (int k = 0; k < lines; ++k) {
        if (lineBest[k].sum < bestSum) {
            bestSum = lineBest[k].sum;
            BestMatch = lineBest[k].at;
        }
    }
    return bestSum != NoSum;
}

// ExemplarPlanes at the sampled positions of the winner, as its patch was
// loaded when it won; the buffers do not change during a search.
void LoadExemplar(const WindowView& window, int s, int searchStep)
{
    const int half = s / 2;
    const int bytesPerPixel = window.bytesPerPixel;
    for (int i = 0; i < s; i += searchStep) {
        for (int j = 0; j < s; j += searchStep) {
            const std::size_t index =
                static_cast<std::size_t>(BestMatch.y - half + j) * window.width + (BestMatch.x - half + i);
            const bool usable = window.maskBuffer[index] == MaskSource;
            const uint8_t* pixel = window.colourBuffer + index * bytesPerPixel;
            ExemplarPlanes.plane[0][i][j] = usable ? 1 : 0;
            // Planes past the pixel's bytes are zeroed, not read from the next pixel.
            for (int k = 0; k < 4; ++k)
                ExemplarPlanes.plane[1 + k][i][j] = usable && k < bytesPerPixel ? pixel[k] : 0;
        }
    }
}

} // namespace

int SearchStepFor(int patchSize)
{
    const int step = static_cast<int>(std::trunc(patchSize * 0.03125 + 0.5));
    return step == 0 ? 1 : step;
}

int LoadTarget(const WindowView& window, int x, int y, int s, int searchStep, JobScratch& scratch)
{
    // The rows in the order of the patch; the integer sum does not depend on
    // the order in which the positions are compared.
    TargetRows& target = scratch.target;
    const int half = s / 2;
    const int bytesPerPixel = window.bytesPerPixel;
    target.rows = 0;
    target.codeCount = s;
    target.colourCount = s * bytesPerPixel;
    int known = 0;
    for (int j = 0; j < s; j += searchStep) {
        const int row = target.rows;
        uint8_t* const skip = target.codeSkip[row];
        uint8_t* const keep = target.colourKeep[row];
        uint8_t* const value = target.colour[row];
        // The comparisons read whole blocks of up to 32 bytes.
        std::memset(skip, 0xFF, BlockRounded(target.codeCount));
        std::memset(keep, 0, BlockRounded(target.colourCount));
        std::memset(value, 0, BlockRounded(target.colourCount));
        const std::size_t lineStart = static_cast<std::size_t>(y - half + j) * window.width + (x - half);
        int rowKnown = 0;
        for (int i = 0; i < s; i += searchStep) {
            const std::size_t index = lineStart + i;
            if (!IsKnownCode(window.maskBuffer[index]))
                continue;
            skip[i] = 0;
            std::memset(keep + i * bytesPerPixel, 0xFF, static_cast<std::size_t>(bytesPerPixel));
            std::memcpy(value + i * bytesPerPixel, window.colourBuffer + index * bytesPerPixel,
                        static_cast<std::size_t>(bytesPerPixel));
            ++rowKnown;
        }
        if (rowKnown == 0)
            continue;
        target.lineOffset[row] = static_cast<std::ptrdiff_t>(j) * window.width;
        ++target.rows;
        known += rowKnown;
    }
    return known;
}

bool SearchExemplar(const WindowView& window, int cx, int cy, int s, int g, int targetKnownCount, int searchStep,
                    JobScratch& scratch)
{
    // Without a known target position every candidate costs the starting
    // best, and none can be strictly below it.
    if (targetKnownCount == 0)
        return false;
    const LineSearcher searchLine = ChooseLineSearcher(window.bytesPerPixel);
    if (searchLine == nullptr)
        return false;
    const Ring ring{cx, cy, s + g, g};
    const bool found = SearchRing(window, ring, s, targetKnownCount, searchLine, scratch);
    if (found)
        LoadExemplar(window, s, searchStep);
    return found;
}
