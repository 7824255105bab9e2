// SPDX-License-Identifier: MIT
// The structure fill, coarse to fine: the offsets similar patches keep to
// each other are counted on a reduced copy of the hole's surroundings, the
// hole is labelled with them by minimum cuts there, each region's offset is
// made exact at full resolution and the seams are cut again in a band around
// them; the copies are then blended across their seams, and what no offset
// can reach is averaged from its neighbours.
#include "structure/structure_fill.h"

#include "engine/inpaint_driver.h"
#include "engine/job_progress.h"
#include "engine/scan_rectangle.h"
#include "engine/whole_region_fill.h"
#include "kernels/bitmap_rows.h"
#include "structure/fill_grid.h"
#include "structure/guide_fill.h"
#include "structure/method_choice.h"
#include "structure/offset_labels.h"
#include "structure/offset_refinement.h"
#include "structure/patch_offsets.h"
#include "structure/seam_band.h"
#include "structure/seam_blend.h"

#include <algorithm>

namespace {

// The offsets counted; more add little but time.
constexpr int DominantOffsetCount = 60;
// The reduced grid is at most about this many pixels, and the hole in it at
// most this many pixels across, unless that would leave the hole too small.
constexpr long long ReducedPixels = 60000;
constexpr int ReducedHoleSide = 128;
constexpr int LeastReducedHoleSide = 16;

struct Surroundings {
    int minX, maxX, minY, maxY;
};

// The hole box with room around it for the sources its offsets may reach.
Surroundings SurroundingsOf(const HoleBox& hole)
{
    const int side = std::max(hole.maxX - hole.minX, hole.maxY - hole.minY) + 1;
    const int margin = std::max(48, side * 3 / 2);
    return Surroundings{hole.minX - margin, hole.maxX + margin, hole.minY - margin, hole.maxY + margin};
}

int ReductionFactor(const FillGrid& grid, const HoleBox& hole)
{
    const int side = std::max(hole.maxX - hole.minX, hole.maxY - hole.minY) + 1;
    const long long pixels = static_cast<long long>(grid.width) * grid.height;
    int factor = 1;
    while ((pixels / (static_cast<long long>(factor) * factor) > ReducedPixels || side / factor > ReducedHoleSide) &&
           side / (2 * factor) >= LeastReducedHoleSide)
        factor *= 2;
    return factor;
}

GridBox HoleBoxOf(const FillGrid& grid)
{
    BoxBuilder builder;
    for (int y = 0; y < grid.height; ++y)
        for (int x = 0; x < grid.width; ++x)
            if (grid.state[grid.Index(x, y)] == StateHole)
                builder.Include(x, y);
    return builder.Grown(0);
}

// Shifts that take every pixel of the hole box just out of it, so that the
// labels can fill any hole that has known picture on one side.
void AddShiftsOutOfBox(const GridBox& box, std::vector<Offset>& offsets)
{
    if (box.Empty())
        return;
    const Offset shifts[4] = {{box.Width(), 0}, {-box.Width(), 0}, {0, box.Height()}, {0, -box.Height()}};
    for (const Offset& shift : shifts)
        if (std::find(offsets.begin(), offsets.end(), shift) == offsets.end())
            offsets.push_back(shift);
}

void WriteFill(const InpaintJob& job, const FillGrid& grid, const FineLabels& fine, const BlendedColours& blended,
               const std::vector<GuidedPixel>& guided, std::vector<CopiedPixel>* copied)
{
    const BitmapRows picture = RowsOf(job.targetImage);
    const BitmapRows mask = RowsOf(job.maskImage);
    const int channels = grid.channels;
    for (const GuidedPixel& pixel : guided) {
        const int column = grid.originX + pixel.index % grid.width;
        const int line = grid.originY + pixel.index / grid.width;
        std::copy_n(grid.colour.begin() + static_cast<std::ptrdiff_t>(pixel.index) * channels, channels,
                    picture.Row(line) + static_cast<std::size_t>(column) * channels);
        mask.Row(line)[column] = MaskSource;
        if (copied != nullptr)
            copied->push_back(CopiedPixel{column, line, column + pixel.offset.dx, line + pixel.offset.dy});
    }
    const GridBox& box = fine.labels.Box();
    for (int y = box.minY; y <= box.maxY; ++y)
        for (int x = box.minX; x <= box.maxX; ++x) {
            const int index = grid.Index(x, y);
            const int32_t label = fine.labels[index];
            if (grid.state[index] != StateHole || label < 0)
                continue;
            const Offset o = fine.offsets[label];
            const int column = grid.originX + x;
            const int line = grid.originY + y;
            std::copy_n(blended.At(x, y), channels, picture.Row(line) + static_cast<std::size_t>(column) * channels);
            mask.Row(line)[column] = MaskSource;
            if (copied != nullptr)
                copied->push_back(CopiedPixel{column, line, column + o.dx, line + o.dy});
        }
}

InpaintOutcome FillByOffsets(InpaintJob job, std::vector<CopiedPixel>* copied, const GuideMap* guides)
{
    const int bytesPerPixel = driver::UsableBytesPerPixel(job);
    if (bytesPerPixel == 0)
        return InpaintOutcome::Filled;
    driver::ClipToImage(job);
    const ScanCounts counts = CountScanRectangle(job);
    CopySourcePixels(job, bytesPerPixel);
    if (counts.holeBox.Empty())
        return InpaintOutcome::Filled;
    JobProgress progress(job.progress, counts.holeCount);
    const std::atomic<bool>* stop = job.progress.stop;

    const Surroundings around = SurroundingsOf(counts.holeBox);
    FillGrid fine = ReadGrid(job, bytesPerPixel, around.minX, around.maxX, around.minY, around.maxY);
    const std::vector<GuidedPixel> guided =
        guides != nullptr ? FillAlongGuides(fine, *guides, job.imageWidth) : std::vector<GuidedPixel>();
    const int factor = ReductionFactor(fine, counts.holeBox);
    const FillGrid reduced = factor > 1 ? ReduceGrid(fine, factor) : FillGrid{};
    const FillGrid& coarse = factor > 1 ? reduced : fine;

    const GridBox coarseHole = HoleBoxOf(coarse);
    const int minimumShift = std::max(2, std::max(coarse.width, coarse.height) / 15);
    std::vector<Offset> offsets = DominantOffsets(coarse, coarseHole, DominantOffsetCount, minimumShift);
    AddShiftsOutOfBox(coarseHole, offsets);
    if (progress.StopRequested())
        return InpaintOutcome::Cancelled;
    progress.Add(counts.holeCount / 4);

    const OffsetEnergy coarseEnergy(coarse, offsets);
    LabelMap coarseLabels(coarse, GridBox{0, coarse.width - 1, 0, coarse.height - 1});
    const std::vector<int> coarseNodes = FirstAllowedLabels(coarseEnergy, coarseLabels);
    if (!ExpandLabels(coarseEnergy, coarseLabels, coarseNodes, 2, -1, stop))
        return InpaintOutcome::Cancelled;
    progress.Add(counts.holeCount / 4);

    FineLabels labels;
    if (factor > 1) {
        labels = RefineOffsets(fine, coarse, offsets, coarseLabels);
        const OffsetEnergy fineEnergy(fine, labels.offsets);
        // The reduced seams are right to within half a block.
        const int reach = factor / 2 + 2;
        const std::vector<int> band = SeamBand(fineEnergy, labels.labels, reach);
        if (!ExpandLabels(fineEnergy, labels.labels, band, 2, reach, stop))
            return InpaintOutcome::Cancelled;
    } else {
        labels.offsets = offsets;
        labels.labels = std::move(coarseLabels);
    }
    progress.Add(counts.holeCount / 4);

    const BlendedColours blended = BlendSeams(fine, labels);
    if (progress.StopRequested())
        return InpaintOutcome::Cancelled;
    WriteFill(job, fine, labels, blended, guided, copied);

    // What no offset could fill is averaged from the filled pixels around it.
    const HoleBox left = counts.holeBox;
    const PictureView picture{job.targetImage, job.maskImage, job.imageWidth, job.imageHeight, bytesPerPixel};
    FillWholeRegion(picture, left.minX, left.maxX, left.minY, left.maxY);
    progress.Finish();
    return InpaintOutcome::Filled;
}

// The ring trial on the job's hole; the job's Source pixels are copied into
// the target first, as either fill does.
bool PatchesSuitBetter(InpaintJob job)
{
    const int bytesPerPixel = driver::UsableBytesPerPixel(job);
    if (bytesPerPixel == 0)
        return false;
    driver::ClipToImage(job);
    const ScanCounts counts = CountScanRectangle(job);
    if (counts.holeBox.Empty())
        return false;
    CopySourcePixels(job, bytesPerPixel);
    const Surroundings around = SurroundingsOf(counts.holeBox);
    const FillGrid grid = ReadGrid(job, bytesPerPixel, around.minX, around.maxX, around.minY, around.maxY);
    const auto offsetFill = [](const InpaintJob& trial) { return FillByOffsets(trial, nullptr, nullptr); };
    return PatchesFitBetter(TryBothFills(job, grid, offsetFill));
}

} // namespace

InpaintOutcome StructureFill(InpaintJob job, std::vector<CopiedPixel>* copied, const GuideMap* guides)
{
    if (copied != nullptr)
        copied->clear();
    // Guide lines are drawn for the offset fill; the patch engine cannot follow them.
    if (guides == nullptr && PatchesSuitBetter(job))
        return InpaintRegion(job);
    return FillByOffsets(job, copied, guides);
}
