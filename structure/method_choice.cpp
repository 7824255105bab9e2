// SPDX-License-Identifier: MIT
#include "structure/method_choice.h"

#include "engine/inpaint_job.h"
#include "kernels/bitmap_rows.h"
#include "structure/grid_box.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

// The trial grid is at most about this many pixels: about the size of the
// offset fill's own reduced grid, so that the trial fill labels it directly
// with no full-resolution steps, at a fraction of the fill's time.
constexpr long long TrialPixels = 60000;
// The engine's mean miss of the ring per channel (0-255) below which it is
// kept: on the benchmark it misses smooth horizons by 2.5 to 5.3, and every
// scene where the offset fill wins clearly at full size by more than 9.
constexpr int64_t CloseEnoughLevels = 7;

struct BitmapDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using OwnedBitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

uint8_t CodeOfState(uint8_t state)
{
    switch (state) {
    case StateHole: return MaskHole;
    case StateSource: return MaskSource;
    case StateKnown: return MaskFilled;
    default: return MaskExcluded;
    }
}

int TrialFactor(const FillGrid& grid)
{
    const long long pixels = static_cast<long long>(grid.width) * grid.height;
    int factor = 2;
    while (pixels / (static_cast<long long>(factor) * factor) > TrialPixels)
        factor *= 2;
    return factor;
}

// Marks the Source pixels within ring pixels (Chebyshev) of a hole: one
// pass along the lines, one along the columns, each with a running count.
std::vector<uint8_t> RingAround(const FillGrid& grid, int ring)
{
    const int w = grid.width;
    const int h = grid.height;
    std::vector<uint8_t> near(static_cast<std::size_t>(w) * h, 0);
    for (int y = 0; y < h; ++y) {
        int count = 0;
        for (int x = -ring; x < w + ring; ++x) {
            const int enter = x + ring;
            const int leave = x - ring - 1;
            if (enter < w && grid.state[grid.Index(enter, y)] == StateHole)
                ++count;
            if (leave >= 0 && grid.state[grid.Index(leave, y)] == StateHole)
                --count;
            if (x >= 0 && x < w)
                near[grid.Index(x, y)] = count > 0;
        }
    }
    std::vector<uint8_t> ringPixels(near.size(), 0);
    for (int x = 0; x < w; ++x) {
        int count = 0;
        for (int y = -ring; y < h + ring; ++y) {
            const int enter = y + ring;
            const int leave = y - ring - 1;
            if (enter < h && near[grid.Index(x, enter)])
                ++count;
            if (leave >= 0 && near[grid.Index(x, leave)])
                --count;
            if (y >= 0 && y < h && count > 0 && grid.state[grid.Index(x, y)] == StateSource)
                ringPixels[grid.Index(x, y)] = 1;
        }
    }
    return ringPixels;
}

OwnedBitmap BitmapOf(const FillGrid& grid, const std::vector<uint8_t>& bytes, int channels)
{
    OwnedBitmap bitmap(FreeImage_Allocate(grid.width, grid.height, 8 * channels));
    if (!bitmap)
        return bitmap;
    const BitmapRows rows = RowsOf(bitmap.get());
    const std::size_t line = static_cast<std::size_t>(grid.width) * channels;
    for (int y = 0; y < grid.height; ++y)
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(y * line), line, rows.Row(y));
    return bitmap;
}

int64_t RingError(FIBITMAP* filled, const FillGrid& truth, const std::vector<uint8_t>& ring)
{
    const BitmapRows rows = RowsOf(filled);
    int64_t sum = 0;
    for (int y = 0; y < truth.height; ++y)
        for (int x = 0; x < truth.width; ++x)
            if (ring[truth.Index(x, y)]) {
                const uint8_t* got = rows.Row(y) + static_cast<std::size_t>(x) * truth.channels;
                const uint8_t* want = truth.ColourAt(x, y);
                for (int c = 0; c < truth.channels; ++c)
                    sum += std::abs(got[c] - want[c]);
            }
    return sum;
}

} // namespace

RingErrors TryBothFills(const InpaintJob& job, const FillGrid& around, const OffsetFill& offsetFill)
{
    const int factor = TrialFactor(around);
    const FillGrid trial = ReduceGrid(around, factor);
    BoxBuilder holeBox;
    for (int y = 0; y < trial.height; ++y)
        for (int x = 0; x < trial.width; ++x)
            if (trial.state[trial.Index(x, y)] == StateHole)
                holeBox.Include(x, y);
    const GridBox box = holeBox.Grown(0);
    if (box.Empty())
        return {};
    // Wide enough to hold a stretch of the structure that crosses the border.
    const int ring = std::max(2, box.Side() / 8);
    const std::vector<uint8_t> ringPixels = RingAround(trial, ring);
    RingErrors errors;
    errors.ringPixels = std::count(ringPixels.begin(), ringPixels.end(), uint8_t{1});
    errors.channels = trial.channels;
    if (errors.ringPixels == 0)
        return {};

    std::vector<uint8_t> codes(trial.state.size());
    for (std::size_t i = 0; i < codes.size(); ++i)
        codes[i] = ringPixels[i] ? uint8_t{MaskHole} : CodeOfState(trial.state[i]);
    auto fillWith = [&](auto&& fill) -> int64_t {
        OwnedBitmap picture = BitmapOf(trial, trial.colour, trial.channels);
        OwnedBitmap mask = BitmapOf(trial, codes, 1);
        if (!picture || !mask)
            return -1;
        InpaintJob small;
        small.patchSize = std::max(MinPatchSize, job.patchSize / factor);
        small.searchGap = std::max(1, job.searchGap / factor);
        // The whole grid, so that the engine counts every Source pixel of it
        // and does not take the grown hole for one it can only average.
        small.scanMinX = 0;
        small.scanMaxX = trial.width - 1;
        small.scanMinY = 0;
        small.scanMaxY = trial.height - 1;
        small.imageWidth = trial.width;
        small.imageHeight = trial.height;
        small.targetImage = picture.get();
        small.sourceImage = picture.get();
        small.maskImage = mask.get();
        small.smoothSeam = job.smoothSeam;
        small.progress.stop = job.progress.stop;
        if (fill(small) != InpaintOutcome::Filled)
            return -1;
        return RingError(picture.get(), trial, ringPixels);
    };
    errors.patches = fillWith([](const InpaintJob& small) { return InpaintRegion(small); });
    errors.offsets = fillWith(offsetFill);
    if (errors.patches < 0 || errors.offsets < 0)
        return {};
    return errors;
}

bool PatchesFitBetter(const RingErrors& errors)
{
    if (errors.ringPixels == 0)
        return false;
    return errors.patches < errors.offsets || errors.patches < CloseEnoughLevels * errors.ringPixels * errors.channels;
}
