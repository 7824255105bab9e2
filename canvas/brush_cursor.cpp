// SPDX-License-Identifier: MIT
// The pointer over the canvas is a hatched picture of the brush at the
// current zoom: a disc for the two brushes, a square for the eraser.
#include "canvas/canvas_pane.h"

#include "kernels/rounding.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int SmallestCursorSize = 10;

QImage DrawBrushPicture(int size, QRgb colour, bool square)
{
    QImage picture(size, size, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(colour), 1));
    painter.setBrush(QBrush(QColor(colour), Qt::BDiagPattern));
    // The gaps of the hatch are white.
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);
    // The box's right and bottom edges lie outside the shape.
    const QRect box(0, 0, size - 1, size - 1);
    if (square)
        painter.drawRect(box);
    else
        painter.drawEllipse(box);
    return picture;
}

} // namespace

void CCanvasPane::RebuildCursor()
{
    const int size = m_nTool == ToolSourceOutline
                         ? SmallestCursorSize
                         : std::max(SmallestCursorSize, TruncToInt(m_nBrushSize * GetZoom()));
    // A huge brush at a high zoom would ask for thousands of pixels.
    const int drawnSize = std::min(size, 4 * LargestCursorSize);
    m_imgCursor = DrawBrushPicture(drawnSize, BrushColour(), m_nTool == ToolEraser);
    const QImage shown = drawnSize > LargestCursorSize
                             ? m_imgCursor.scaled(LargestCursorSize, LargestCursorSize, Qt::IgnoreAspectRatio,
                                                  Qt::FastTransformation)
                             : m_imgCursor;
    // Black is see-through: the corners outside the disc, and the eraser's
    // own lines.
    if (const auto cursor = m_colorCursor.CreateColorCursor(shown, qRgb(0, 0, 0), shown.width() / 2,
                                                            shown.height() / 2))
        setCursor(*cursor);
    update();
}
