// SPDX-License-Identifier: MIT
#include "mask/guide_pixels.h"

#include "mask/brush_colours.h"

#include <algorithm>
#include <cstddef>

namespace {

// The first colour that is not guide, stepping from (x, y) by (dx, dy); 0
// when the picture ends or only guide pixels lie within reach.
uint32_t ColourBeyondGuide(const OverlayRows& overlay, int x, int y, int dx, int dy, int width, int height)
{
    for (int step = 1; step <= GuideReach; ++step) {
        const uint32_t colour = OverlayColourAt(overlay, x + step * dx, y + step * dy, width, height);
        if (colour != GuideColour)
            return colour;
    }
    return 0;
}

} // namespace

uint32_t OverlayColourAt(const OverlayRows& overlay, int x, int y, int width, int height)
{
    if (overlay.top == nullptr || x < 0 || y < 0 || x >= width || y >= height || x < overlay.markedLeft ||
        x > overlay.markedRight || y < overlay.markedTop || y > overlay.markedBottom)
        return 0;
    const uint8_t* pixel = overlay.top + static_cast<std::ptrdiff_t>(y) * overlay.stride +
                           static_cast<std::ptrdiff_t>(x) * overlay.pixelBytes;
    return (static_cast<uint32_t>(pixel[0]) << 16) | (static_cast<uint32_t>(pixel[1]) << 8) |
           static_cast<uint32_t>(pixel[2]);
}

GuideRole RoleOfGuidePixel(const OverlayRows& overlay, int x, int y, int width, int height)
{
    // Row, column and the two diagonals; each is looked along both ways.
    constexpr int Directions[4][2] = {{1, 0}, {0, 1}, {1, 1}, {1, -1}};
    bool closesOutline = false;
    for (const auto& [dx, dy] : Directions) {
        const uint32_t ahead = ColourBeyondGuide(overlay, x, y, dx, dy, width, height);
        const uint32_t behind = ColourBeyondGuide(overlay, x, y, -dx, -dy, width, height);
        if (ahead == HoleColour && behind == HoleColour)
            return GuideRole::Hole;
        closesOutline = closesOutline || (ahead == OutlineColour && behind == OutlineColour);
    }
    return closesOutline ? GuideRole::Outline : GuideRole::Unmarked;
}

std::vector<uint8_t> GuideMapOf(const OverlayRows& overlay, int width, int height, const GuideSpan& span)
{
    std::vector<uint8_t> guides;
    if (span.top > span.bottom || span.left > span.right)
        return guides;
    guides.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    for (int y = std::max(span.top, 0); y <= std::min(span.bottom, height - 1); ++y) {
        uint8_t* line = guides.data() + static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width);
        for (int x = std::max(span.left, 0); x <= std::min(span.right, width - 1); ++x)
            line[x] = OverlayColourAt(overlay, x, y, width, height) == GuideColour ? 1 : 0;
    }
    return guides;
}
