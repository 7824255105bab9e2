// SPDX-License-Identifier: MIT
// Whole-region fill by neighbour averaging, for holes too large for patches
// and for whatever the patch passes could not reach.
#include "engine/whole_region_fill.h"

#include "engine/fill_record.h"
#include "engine/inpaint_job.h"
#include "engine/neighbour_mean.h"
#include "kernels/bitmap_rows.h"
#include "kernels/pixel_access.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace {

// The two bitmaps by scan line; positions outside the picture read as
// excluded, as the per-pixel accessors would give them.
template <int BytesPerPixel>
class RegionFiller {
public:
    RegionFiller(FIBITMAP* maskImage, FIBITMAP* targetImage)
        : m_mask(RowsOf(maskImage))
        , m_colour(RowsOf(targetImage))
    {
    }

    int Code(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < m_mask.width && y < m_mask.height ? int{m_mask.Row(y)[x]} : int{MaskExcluded};
    }
    uint8_t* CodeRow(int y) const { return m_mask.Row(y); }
    void SetCode(int x, int y, int code) const { m_mask.Row(y)[x] = static_cast<uint8_t>(code); }

    // Writes the rounded mean of the known 8-neighbours of (x, y) there;
    // false, and nothing written, when none is known. The channel sums are
    // whole numbers, so integers give exactly the sums the mean is taken of,
    // in any order of the neighbours.
    bool FillFromNeighbours(int x, int y) const
    {
        int sums[BytesPerPixel] = {};
        int count = 0;
        if (x > 0 && y > 0 && x + 1 < m_mask.width && y + 1 < m_mask.height) {
            for (int dy = -1; dy <= 1; ++dy) {
                const uint8_t* codes = m_mask.Row(y + dy) + x;
                const uint8_t* pixels = Pixel(x, y + dy);
                for (int dx = -1; dx <= 1; ++dx) {
                    if ((dx == 0 && dy == 0) || !IsKnownCode(codes[dx]))
                        continue;
                    for (int k = 0; k < BytesPerPixel; ++k)
                        sums[k] += pixels[dx * BytesPerPixel + k];
                    ++count;
                }
            }
        } else {
            for (const NeighbourOffset& offset : NeighbourOffsets) {
                const int nx = x + offset.dx;
                const int ny = y + offset.dy;
                if (!IsKnownCode(Code(nx, ny)))
                    continue;
                const uint8_t* pixel = Pixel(nx, ny);
                for (int k = 0; k < BytesPerPixel; ++k)
                    sums[k] += pixel[k];
                ++count;
            }
        }
        if (count == 0)
            return false;
        uint8_t* pixel = Pixel(x, y);
        for (int k = 0; k < BytesPerPixel; ++k)
            pixel[k] = static_cast<uint8_t>(RoundedMean(sums[k], count));
        return true;
    }

    // Whether a hole code lies in the box or the one-pixel ring around it.
    bool HoleNear(int minX, int maxX, int minY, int maxY) const
    {
        const int first = std::max(minX - 1, 0);
        const int last = std::min(maxX + 1, m_mask.width - 1);
        const int top = std::max(minY - 1, 0);
        const int bottom = std::min(maxY + 1, m_mask.height - 1);
        for (int y = top; y <= bottom && first <= last; ++y)
            if (std::memchr(m_mask.Row(y) + first, MaskHole, static_cast<std::size_t>(last - first + 1)))
                return true;
        return false;
    }

private:
    uint8_t* Pixel(int x, int y) const { return m_colour.Row(y) + static_cast<std::size_t>(x) * BytesPerPixel; }

    BitmapRows m_mask;
    BitmapRows m_colour;
};

// growth receives the filled pixels in the order they were filled.
template <int BytesPerPixel>
void FillRegion(int minX, int maxX, int minY, int maxY, FIBITMAP* targetImage, FIBITMAP* maskImage,
                std::vector<WindowPoint>& growth)
{
    const RegionFiller<BytesPerPixel> filler(maskImage, targetImage);

    // Pixels filled earlier in the sweep are already known (254) and feed
    // the ones visited after them.
    for (int y = minY; y <= maxY; ++y) {
        if (y < 0 || y >= static_cast<int>(FreeImage_GetHeight(maskImage)))
            continue;
        const uint8_t* codes = filler.CodeRow(y);
        const int first = std::max(minX, 0);
        const int last = std::min(maxX, static_cast<int>(FreeImage_GetWidth(maskImage)) - 1);
        for (int x = first; x <= last; ++x) {
            if (codes[x] != MaskHole || !filler.FillFromNeighbours(x, y))
                continue;
            filler.SetCode(x, y, MaskDiffused);
            growth.push_back({x, y});
        }
    }
    for (const WindowPoint& p : growth)
        filler.SetCode(p.x, p.y, MaskSource);
    // The waves only reach the neighbours of filled pixels: with no hole
    // left in or around the box they would fill nothing.
    if (!filler.HoleNear(minX, maxX, minY, maxY))
        return;

    // Each wave visits the pixels the previous one filled, in the order they
    // were filled; what it fills waits for the next wave.
    std::size_t waveStart = 0;
    while (waveStart < growth.size()) {
        const std::size_t waveEnd = growth.size();
        for (std::size_t i = waveStart; i < waveEnd; ++i) {
            const WindowPoint p = growth[i];
            for (const NeighbourOffset& offset : NeighbourOffsets) {
                const int qx = p.x + offset.dx;
                const int qy = p.y + offset.dy;
                if (filler.Code(qx, qy) != MaskHole || !filler.FillFromNeighbours(qx, qy))
                    continue;
                filler.SetCode(qx, qy, MaskSource);
                growth.push_back({qx, qy});
            }
        }
        waveStart = waveEnd;
    }
}

} // namespace

void FillWholeRegion(const PictureView& picture, int minX, int maxX, int minY, int maxY)
{
    FIBITMAP* const targetImage = picture.targetImage;
    FIBITMAP* const maskImage = picture.maskImage;
    const int bytesPerPixel = picture.bytesPerPixel;
    if (!HasPlainLayout(maskImage, 1) || !HasPlainLayout(targetImage, bytesPerPixel))
        return;
    std::vector<WindowPoint> growth;
    switch (bytesPerPixel) {
    case 1: FillRegion<1>(minX, maxX, minY, maxY, targetImage, maskImage, growth); break;
    case 3: FillRegion<3>(minX, maxX, minY, maxY, targetImage, maskImage, growth); break;
    case 4: FillRegion<4>(minX, maxX, minY, maxY, targetImage, maskImage, growth); break;
    default: break;
    }
    if (picture.record != nullptr)
        for (const WindowPoint& p : growth)
            picture.record->averaged.push_back({p.x, p.y});
}
