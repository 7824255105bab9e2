// SPDX-License-Identifier: MIT
// Turns the user's strokes into the mask of codes and the job for the engine.
#pragma once

#include "engine/inpaint_job.h"

#include <cstdint>
#include <functional>
#include <string>

using UserMessageHook = std::function<void(const std::string& message)>;

// overlay: W x H pixels, rows from the top, 3 bytes (blue, green, red) per
// pixel, row stride OverlayRowStride(W); may be null, in which case report
// is told and the mask keeps its codes. mask: 8 bits per pixel, W x H; it is
// rewritten and flipped to FreeImage's bottom-up rows. targetImage becomes
// both target and source of the job.
InpaintJob OverlayToMask(const uint8_t* overlay, int width, int height, FIBITMAP* mask, int patchSize,
                         bool smoothSeam, FIBITMAP* targetImage, const UserMessageHook& report);
