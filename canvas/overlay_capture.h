// SPDX-License-Identifier: MIT
// The overlay layer as the overlay conversion reads it, in place.
#pragma once

#include "mask/overlay_to_mask.h"

#include <QImage>
#include <QRect>

#include <optional>

// The layer's rows where they lie (RGB32 pixels are blue, green, red, then
// a byte the conversion skips), marked within the part of marked inside the
// layer; nothing when the layer is empty or not RGB32. The layer must stay
// unchanged while the rows are read.
std::optional<OverlayRows> OverlayRowsOf(const QImage& overlay, const QRect& marked);
