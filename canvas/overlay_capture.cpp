// SPDX-License-Identifier: MIT
#include "canvas/overlay_capture.h"

// RGB32 pixels read as bytes run blue, green, red only on such machines.
static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "the overlay's rows are read as bytes blue, green, red");

std::optional<OverlayRows> OverlayRowsOf(const QImage& overlay, const QRect& marked)
{
    // Canvas layers are always RGB32.
    if (overlay.isNull() || overlay.format() != QImage::Format_RGB32)
        return std::nullopt;
    const QRect area = marked & overlay.rect();
    OverlayRows rows;
    rows.top = overlay.constBits();
    rows.stride = overlay.bytesPerLine();
    rows.pixelBytes = 4;
    if (!area.isEmpty()) {
        rows.markedLeft = area.left();
        rows.markedTop = area.top();
        rows.markedRight = area.right();
        rows.markedBottom = area.bottom();
    }
    return rows;
}
