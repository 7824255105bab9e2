// SPDX-License-Identifier: MIT
// Guide lines on the overlay: which of their pixels stand in for the hole or
// an outline they were drawn across, and the guide map the structure fill
// follows.
#pragma once

#include "mask/overlay_to_mask.h"

#include <cstdint>
#include <vector>

// Pixels a guide line may be thick, or cross another guide, and still be
// read as drawn across what lies on both sides of it.
constexpr int GuideReach = 3;

// What a guide pixel stands for in the mask. A guide drawn across the red
// area replaced red pixels: a guide pixel is a hole pixel when, along its row,
// its column or one of its diagonals, the first pixel that is not guide on
// each side, within GuideReach steps, is the removal colour on both sides.
// Likewise it closes an outline when both are the outline colour. Otherwise
// it marks nothing; the picture's edge is neither colour.
enum class GuideRole { Unmarked, Hole, Outline };

// The overlay's colour at a pixel as 0x00BBGGRR; 0 (unmarked) outside the
// picture and the marked rectangle.
uint32_t OverlayColourAt(const OverlayRows& overlay, int x, int y, int width, int height);

GuideRole RoleOfGuidePixel(const OverlayRows& overlay, int x, int y, int width, int height);

// Screen rows y in [top, bottom] whose guide pixels lie within columns
// [left, right]; empty when no row holds one.
struct GuideSpan {
    int top = 0;
    int bottom = -1;
    int left = 0;
    int right = -1;
};

// One byte per picture pixel, rows from the bottom as the mask's lines
// (index line * width + x), 1 on every guide pixel of span and 0 elsewhere;
// empty when span holds none.
std::vector<uint8_t> GuideMapOf(const OverlayRows& overlay, int width, int height, const GuideSpan& span);
