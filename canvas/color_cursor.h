// SPDX-License-Identifier: MIT
// Turns a colour picture into a cursor in which one colour is see-through.
#pragma once

#include <QCursor>
#include <QImage>
#include <QRgb>

#include <optional>

// Cursors above this size are not shown whole on every platform, so larger
// brush pictures are scaled down to it.
inline constexpr int LargestCursorSize = 256;

class CColorCursor {
public:
    // The AND mask is white where source has the transparent colour and black
    // elsewhere; the colour bitmap is black there and the source elsewhere.
    // Only the red, green and blue of a pixel are compared.
    void GetMaskBitmaps(const QImage& source, QRgb transparent, QImage& andMask, QImage& colour) const;

    // No cursor for a null source.
    std::optional<QCursor> CreateColorCursor(const QImage& source, QRgb transparent, int hotX, int hotY) const;
};
