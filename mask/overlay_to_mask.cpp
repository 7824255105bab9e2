// SPDX-License-Identifier: MIT
// Classifies the overlay's pixels into hole, outline and unmarked (a guide
// pixel as what it was drawn across), then fills the area enclosed by the
// outline strokes with Source codes by runs swept along rows and columns
// from both ends; screen rows are written straight into the bottom-up lines
// of the mask.
#include "mask/overlay_to_mask.h"

#include "kernels/bitmap_rows.h"
#include "kernels/parallel_for.h"
#include "mask/brush_colours.h"
#include "mask/editor_job.h"
#include "mask/guide_pixels.h"
#include "mask/overlay_buffer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace {

const char* const MissingOverlayMessage = "Wo sind meine Gummiebaerchen?";

// The mask's codes by column and screen row; every position the conversion
// visits lies inside the picture. Screen rows run from the top, the mask's
// lines from the bottom, so row y starts at line height - 1 - y.
struct MaskGrid {
    uint8_t* top; // the start of screen row 0
    std::ptrdiff_t step;

    uint8_t* Row(int y) const { return top + static_cast<std::ptrdiff_t>(y) * step; }
    uint8_t& At(int x, int y) const { return Row(y)[x]; }
};

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
    GuideSpan guides;
};

// A line's marks: first and last column of each colour, first > last when absent.
struct LineMarks {
    int removalFirst = 1;
    int removalLast = 0;
    int outlineFirst = 1;
    int outlineLast = 0;
    int guideFirst = 1;
    int guideLast = 0;
};

// The picture row y being classified, for the guide pixels' look around.
struct LineContext {
    const OverlayRows& overlay;
    int y;
    int width;
    int height;
};

// Unmarked pixels become Source, as they stay when no outline is drawn;
// columns count from first, the row's and the codes' first pixel.
template <int PixelBytes>
LineMarks ClassifyLine(const LineContext& line, const uint8_t* row, uint8_t* codes, int first, int count)
{
    LineMarks marks;
    bool removal = false;
    bool outline = false;
    for (int x = first; x < first + count; ++x, row += PixelBytes, ++codes) {
        uint32_t colour = (static_cast<uint32_t>(row[0]) << 16) | (static_cast<uint32_t>(row[1]) << 8) |
                          static_cast<uint32_t>(row[2]);
        if (colour == GuideColour) {
            marks.guideFirst = marks.guideFirst <= marks.guideLast ? marks.guideFirst : x;
            marks.guideLast = x;
            // A guide pixel takes the part of what it was drawn across.
            switch (RoleOfGuidePixel(line.overlay, x, line.y, line.width, line.height)) {
            case GuideRole::Hole: colour = HoleColour; break;
            case GuideRole::Outline: colour = OutlineColour; break;
            case GuideRole::Unmarked: break;
            }
        }
        if (colour == HoleColour) {
            *codes = static_cast<uint8_t>(MaskHole);
            marks.removalFirst = removal ? marks.removalFirst : x;
            marks.removalLast = x;
            removal = true;
        } else if (colour == OutlineColour) {
            *codes = static_cast<uint8_t>(MaskOutline);
            marks.outlineFirst = outline ? marks.outlineFirst : x;
            marks.outlineLast = x;
            outline = true;
        } else {
            *codes = static_cast<uint8_t>(MaskSource);
        }
    }
    return marks;
}

// One screen row: the marked columns are read, the rest is Source unread.
LineMarks ClassifyRow(const OverlayRows& overlay, int y, uint8_t* codes, int width, int height)
{
    const int left = std::max(overlay.markedLeft, 0);
    const int right = std::min(overlay.markedRight, width - 1);
    if (y < overlay.markedTop || y > overlay.markedBottom || left > right) {
        std::memset(codes, MaskSource, static_cast<std::size_t>(width));
        return {};
    }
    std::memset(codes, MaskSource, static_cast<std::size_t>(left));
    std::memset(codes + right + 1, MaskSource, static_cast<std::size_t>(width - 1 - right));
    const uint8_t* row = overlay.top + static_cast<std::ptrdiff_t>(y) * overlay.stride;
    const int count = right - left + 1;
    const LineContext line{overlay, y, width, height};
    return overlay.pixelBytes == 4
               ? ClassifyLine<4>(line, row + 4 * static_cast<std::ptrdiff_t>(left), codes + left, left, count)
               : ClassifyLine<3>(line, row + 3 * static_cast<std::ptrdiff_t>(left), codes + left, left, count);
}

Classification Classify(const OverlayRows& overlay, int width, int height, const MaskGrid& mask)
{
    Classification result{{width, 0, height, 0}, {width, 0, height, 0}, false, {}};
    if (overlay.top == nullptr)
        return result;
    // Lines are independent (a guide pixel only reads the overlay around
    // it); the boxes are gathered from them after.
    std::vector<LineMarks> lines(static_cast<std::size_t>(height));
    ParallelFor(0, height, [&](int y) {
        lines[static_cast<std::size_t>(y)] = ClassifyRow(overlay, y, mask.Row(y), width, height);
    }, width);
    GuideSpan& guides = result.guides;
    guides = {height, -1, width, -1};
    for (int y = std::max(overlay.markedTop, 0); y <= std::min(overlay.markedBottom, height - 1); ++y) {
        const LineMarks& line = lines[static_cast<std::size_t>(y)];
        if (line.removalFirst <= line.removalLast) {
            result.removal.Include(line.removalFirst, y);
            result.removal.Include(line.removalLast, y);
        }
        if (line.outlineFirst <= line.outlineLast) {
            result.outline.Include(line.outlineFirst, y);
            result.outline.Include(line.outlineLast, y);
            result.outlineSeen = true;
        }
        if (line.guideFirst <= line.guideLast) {
            guides.top = std::min(guides.top, y);
            guides.bottom = y;
            guides.left = std::min(guides.left, line.guideFirst);
            guides.right = std::max(guides.right, line.guideLast);
        }
    }
    return result;
}

void MarkAllUnpaintedAsSource(uint8_t* bits, std::ptrdiff_t pitch, int width, int height)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (bits[y * pitch + x] != MaskHole)
                bits[y * pitch + x] = static_cast<uint8_t>(MaskSource);
}

// With an outline drawn, only what it encloses is Source.
void MarkAllUnpaintedAsExcluded(const MaskGrid& mask, int width, int height)
{
    ParallelFor(0, height, [&](int y) {
        uint8_t* codes = mask.Row(y);
        for (int x = 0; x < width; ++x)
            if (codes[x] == MaskSource)
                codes[x] = static_cast<uint8_t>(MaskExcluded);
    }, width);
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
void Sweep(const MaskGrid& mask, const SweepRule& rule, int first, int last, int step, At at)
{
    bool open = false;
    int start = 0;
    for (int p = first; (last - p) * step >= 0; p += step) {
        const auto [px, py] = at(p - step);
        const auto [cx, cy] = at(p);
        const int previous = mask.At(px, py);
        const int current = mask.At(cx, cy);
        if (rule.Opens(previous, current)) {
            open = true;
            start = p;
        } else if (open && rule.Closes(previous, current)) {
            for (int q = start; q != p; q += step) {
                const auto [qx, qy] = at(q);
                if (mask.At(qx, qy) != MaskHole)
                    mask.At(qx, qy) = static_cast<uint8_t>(rule.fillCode);
            }
            open = false;
        }
    }
}

struct Point {
    int x;
    int y;
};

void SweepRows(const MaskGrid& mask, const SweepRule& rule, const Box& box)
{
    for (int y = box.minY; y <= box.maxY; ++y) {
        const auto at = [y](int x) { return Point{x, y}; };
        Sweep(mask, rule, box.minX + 1, box.maxX, +1, at);
        Sweep(mask, rule, box.maxX - 1, box.minX, -1, at);
    }
}

void SweepColumns(const MaskGrid& mask, const SweepRule& rule, const Box& box)
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
void FillOutlinedArea(const MaskGrid& mask, const Box& box)
{
    constexpr SweepRule RowRule{MaskOutline, MaskExcluded, MaskExcluded, MaskHole, MaskOutline, MaskSource};
    constexpr SweepRule ColumnRule{MaskSource, MaskExcluded, MaskExcluded, MaskHole, MaskHole, MaskSource};
    constexpr SweepRule TrimRule{MaskExcluded, MaskSource, MaskSource, MaskHole, MaskOutline, MaskExcluded};
    SweepRows(mask, RowRule, box);
    SweepColumns(mask, ColumnRule, box);
    SweepColumns(mask, TrimRule, box);
    for (int y = box.minY; y <= box.maxY; ++y)
        for (int x = box.minX; x <= box.maxX; ++x)
            if (mask.At(x, y) == MaskOutline)
                mask.At(x, y) = static_cast<uint8_t>(MaskSource);
}

// A mask that is not an 8-bit bitmap of the overlay's size cannot hold the
// codes: the job then has an empty scan rectangle and fills nothing.
InpaintJob UnusableMaskJob(int width, int height, int patchSize, bool smoothSeam, FIBITMAP* targetImage,
                           FIBITMAP* mask)
{
    InpaintJob job;
    SetEditorJobFields(job, patchSize, smoothSeam, width, height, targetImage, mask);
    job.scanMinX = width;
    job.scanMaxX = 0;
    job.scanMinY = height - 1;
    job.scanMaxY = -1;
    return job;
}

} // namespace

InpaintJob OverlayToMask(const uint8_t* overlay, int width, int height, FIBITMAP* mask, int patchSize,
                         bool smoothSeam, FIBITMAP* targetImage, const UserMessageHook& report,
                         std::vector<uint8_t>* guides)
{
    const OverlayRows rows{overlay, static_cast<std::ptrdiff_t>(OverlayRowStride(width)), 3, 0, 0, width - 1,
                           height - 1};
    return OverlayToMask(rows, width, height, mask, patchSize, smoothSeam, targetImage, report, guides);
}

InpaintJob OverlayToMask(const OverlayRows& overlay, int width, int height, FIBITMAP* mask, int patchSize,
                         bool smoothSeam, FIBITMAP* targetImage, const UserMessageHook& report,
                         std::vector<uint8_t>* guides)
{
    if (guides != nullptr)
        guides->clear();
    if (overlay.top == nullptr && report)
        report(MissingOverlayMessage);
    if (!HasPlainLayout(mask, 1) || static_cast<int>(FreeImage_GetWidth(mask)) != width ||
        static_cast<int>(FreeImage_GetHeight(mask)) != height)
        return UnusableMaskJob(width, height, patchSize, smoothSeam, targetImage, mask);
    const auto pitch = static_cast<std::ptrdiff_t>(FreeImage_GetPitch(mask));
    const MaskGrid grid{FreeImage_GetBits(mask) + static_cast<std::ptrdiff_t>(height - 1) * pitch, -pitch};
    const Classification classes = Classify(overlay, width, height, grid);
    const Box& removal = classes.removal;
    if (guides != nullptr)
        *guides = GuideMapOf(overlay, width, height, classes.guides);

    if (overlay.top == nullptr) {
        // Without strokes the codes the mask had stay, read as the old conversion read them.
        MarkAllUnpaintedAsSource(FreeImage_GetBits(mask), pitch, width, height);
        FreeImage_FlipVertical(mask);
    } else if (classes.outlineSeen) {
        MarkAllUnpaintedAsExcluded(grid, width, height);
        const Box& outline = classes.outline;
        const Box scanBox{std::min(removal.minX, outline.minX), std::max(removal.maxX, outline.maxX),
                          std::min(removal.minY, outline.minY), std::max(removal.maxY, outline.maxY)};
        FillOutlinedArea(grid, scanBox);
    }

    InpaintJob job;
    SetEditorJobFields(job, patchSize, smoothSeam, width, height, targetImage, mask);
    job.scanMinX = removal.minX;
    job.scanMaxX = removal.maxX;
    // Screen row y is line height - 1 - y after the flip.
    job.scanMinY = height - 1 - removal.maxY;
    job.scanMaxY = height - 1 - removal.minY;
    return job;
}
