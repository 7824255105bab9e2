// SPDX-License-Identifier: MIT
// The overlay layer in the layout the overlay conversion reads.
#pragma once

#include <QImage>

#include <cstdint>
#include <optional>
#include <vector>

// The layer's pixels as an overlay buffer (rows from the top, row stride
// OverlayRowStride(width), bytes blue, green, red, padding zero); nothing
// when the layer is empty, not RGB32, or there is no memory for the buffer.
std::optional<std::vector<uint8_t>> CaptureOverlay(const QImage& overlay);
