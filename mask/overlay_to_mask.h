// SPDX-License-Identifier: MIT
// Turns the user's strokes into the mask of codes and the job for the engine.
#pragma once

#include "engine/inpaint_job.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using UserMessageHook = std::function<void(const std::string& message)>;

// overlay: W x H pixels, rows from the top, 3 bytes (blue, green, red) per
// pixel, row stride OverlayRowStride(W); may be null, in which case report
// is told and the mask keeps its codes. mask: 8 bits per pixel, W x H; it is
// rewritten and flipped to FreeImage's bottom-up rows. targetImage becomes
// both target and source of the job.
//
// Guide pixels (GuideColour) mark nothing on their own: one drawn across the
// removal colour is a hole pixel, one drawn across an outline keeps it
// closed (the rule is RoleOfGuidePixel's). guides, when given, receives the
// guide map the structure fill takes: empty when the overlay holds no guide
// pixel, else W x H bytes, rows from the bottom as the mask's lines, 1 on
// every guide pixel, on the hole or not.
InpaintJob OverlayToMask(const uint8_t* overlay, int width, int height, FIBITMAP* mask, int patchSize,
                         bool smoothSeam, FIBITMAP* targetImage, const UserMessageHook& report,
                         std::vector<uint8_t>* guides = nullptr);

// Overlay rows read where they lie: W x H pixels, rows from the top, stride
// bytes apart, pixelBytes (3 or 4) bytes per pixel beginning blue, green,
// red. Every pixel outside the marked rectangle (inclusive columns and rows,
// empty when left > right) is unmarked and is not read.
struct OverlayRows {
    const uint8_t* top = nullptr;
    std::ptrdiff_t stride = 0;
    int pixelBytes = 3;
    int markedLeft = 0;
    int markedTop = 0;
    int markedRight = -1;
    int markedBottom = -1;
};

// The same conversion; overlay.top may be null, as overlay may above.
InpaintJob OverlayToMask(const OverlayRows& overlay, int width, int height, FIBITMAP* mask, int patchSize,
                         bool smoothSeam, FIBITMAP* targetImage, const UserMessageHook& report,
                         std::vector<uint8_t>* guides = nullptr);
