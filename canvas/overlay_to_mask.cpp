// SPDX-License-Identifier: MIT
// Classifies the overlay's pixels into hole, outline and unmarked, then
// fills the area enclosed by the outline strokes with Source codes by runs
// swept along rows and columns from both ends, and flips the mask to the
// bottom-up line order of the pictures.
#include "canvas/overlay_to_mask.h"

#include "canvas/brush_colours.h"
#include "canvas/editor_job.h"
#include "canvas/overlay_buffer.h"
#include "kernels/pixel_access.h"

#include <algorithm>

namespace {

const char* const MissingOverlayMessage = "Wo sind meine Gummiebaerchen?";

struct Box {
    int minX;
    int maxX;
    int minY;
    int maxY;

    void Include(int x, int y)
    {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
};

struct Classification {
    Box removal;
    Box outline;
    bool outlineSeen = false;
};

Classification Classify(const uint8_t* overlay, int width, int height, FIBITMAP* mask)
{
    Classification result{{width, 0, height, 0}, {width, 0, height, 0}, false};
    if (overlay == nullptr)
        return result;
    const std::size_t stride = OverlayRowStride(width);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = overlay + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            const uint8_t* pixel = row + 3 * static_cast<std::size_t>(x);
            const uint32_t colour = (static_cast<uint32_t>(pixel[0]) << 16) | (static_cast<uint32_t>(pixel[1]) << 8) |
                                    static_cast<uint32_t>(pixel[2]);
            if (colour == HoleColour) {
                WriteMaskValue(mask, x, y, MaskHole);
                result.removal.Include(x, y);
            } else if (colour == OutlineColour) {
                WriteMaskValue(mask, x, y, MaskOutline);
                result.outlineSeen = true;
                result.outline.Include(x, y);
            } else {
                WriteMaskValue(mask, x, y, MaskExcluded);
            }
        }
    }
    return result;
}

void MarkAllUnpaintedAsSource(FIBITMAP* mask, int width, int height)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (ReadMaskValue(mask, x, y) != MaskHole)
                WriteMaskValue(mask, x, y, MaskSource);
}

// One pass of the outline fill: which neighbouring codes open a run, which
// close it, and the code its pixels get.
struct SweepRule {
    int openPrevious;
    int openCurrent;
    int closePrevious;
    int closeCurrentA;
    int closeCurrentB;
    int fillCode;

    bool Opens(int previous, int current) const { return previous == openPrevious && current == openCurrent; }
    bool Closes(int previous, int current) const
    {
        return previous == closePrevious && (current == closeCurrentA || current == closeCurrentB);
    }
};

// Walks one line of pixels from position first to last in steps of step
// (+1 or -1; nothing when last lies before first); at(p) gives the mask
// coordinates of position p on the line.
template <typename At>
void Sweep(FIBITMAP* mask, const SweepRule& rule, int first, int last, int step, At at)
{
    bool open = false;
    int start = 0;
    for (int p = first; (last - p) * step >= 0; p += step) {
        const auto [px, py] = at(p - step);
        const auto [cx, cy] = at(p);
        const int previous = ReadMaskValue(mask, px, py);
        const int current = ReadMaskValue(mask, cx, cy);
        if (rule.Opens(previous, current)) {
            open = true;
            start = p;
        } else if (open && rule.Closes(previous, current)) {
            for (int q = start; q != p; q += step) {
                const auto [qx, qy] = at(q);
                if (ReadMaskValue(mask, qx, qy) != MaskHole)
                    WriteMaskValue(mask, qx, qy, rule.fillCode);
            }
            open = false;
        }
    }
}

struct Point {
    int x;
    int y;
};

void SweepRows(FIBITMAP* mask, const SweepRule& rule, const Box& box)
{
    for (int y = box.minY; y <= box.maxY; ++y) {
        const auto at = [y](int x) { return Point{x, y}; };
        Sweep(mask, rule, box.minX + 1, box.maxX, +1, at);
        Sweep(mask, rule, box.maxX - 1, box.minX, -1, at);
    }
}

void SweepColumns(FIBITMAP* mask, const SweepRule& rule, const Box& box)
{
    for (int x = box.minX; x <= box.maxX; ++x) {
        const auto at = [x](int y) { return Point{x, y}; };
        Sweep(mask, rule, box.minY + 1, box.maxY, +1, at);
        Sweep(mask, rule, box.maxY - 1, box.minY, -1, at);
    }
}

// Source is what the outlines enclose: rows open after an outline pixel and
// close before a stroke; columns then reach down from Source to the hole and
// give back runs that hang from unmarked pixels onto a stroke.
void FillOutlinedArea(FIBITMAP* mask, const Box& box)
{
    constexpr SweepRule RowRule{MaskOutline, MaskExcluded, MaskExcluded, MaskHole, MaskOutline, MaskSource};
    constexpr SweepRule ColumnRule{MaskSource, MaskExcluded, MaskExcluded, MaskHole, MaskHole, MaskSource};
    constexpr SweepRule TrimRule{MaskExcluded, MaskSource, MaskSource, MaskHole, MaskOutline, MaskExcluded};
    SweepRows(mask, RowRule, box);
    SweepColumns(mask, ColumnRule, box);
    SweepColumns(mask, TrimRule, box);
    for (int y = box.minY; y <= box.maxY; ++y)
        for (int x = box.minX; x <= box.maxX; ++x)
            if (ReadMaskValue(mask, x, y) == MaskOutline)
                WriteMaskValue(mask, x, y, MaskSource);
}

} // namespace

InpaintJob OverlayToMask(const uint8_t* overlay, int width, int height, FIBITMAP* mask, int patchSize,
                         bool smoothSeam, FIBITMAP* targetImage, const UserMessageHook& report)
{
    if (overlay == nullptr && report)
        report(MissingOverlayMessage);
    const Classification classes = Classify(overlay, width, height, mask);
    const Box& removal = classes.removal;

    if (classes.outlineSeen) {
        const Box& outline = classes.outline;
        const Box scanBox{std::min(removal.minX, outline.minX), std::max(removal.maxX, outline.maxX),
                          std::min(removal.minY, outline.minY), std::max(removal.maxY, outline.maxY)};
        FillOutlinedArea(mask, scanBox);
    } else {
        MarkAllUnpaintedAsSource(mask, width, height);
    }
    FreeImage_FlipVertical(mask);

    InpaintJob job;
    SetEditorJobFields(job, patchSize, smoothSeam, width, height, targetImage, mask);
    job.scanMinX = removal.minX;
    job.scanMaxX = removal.maxX;
    // Screen row y is line height - 1 - y after the flip.
    job.scanMinY = height - 1 - removal.maxY;
    job.scanMaxY = height - 1 - removal.minY;
    return job;
}
