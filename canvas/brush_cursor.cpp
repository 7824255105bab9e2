// SPDX-License-Identifier: MIT
// The pointer over the canvas is the outline of the brush at the current
// zoom: a circle for the two brushes, a square for the eraser. A brush
// larger than a cursor may be, or a screen whose pixels are not the widget's,
// gets its outline drawn on the canvas under a small cross instead.
#include "canvas/canvas_pane.h"

#include "kernels/rounding.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int SmallestCursorSize = 10;
// Nearly black: black itself is see-through in a cursor.
constexpr QRgb DarkRing = qRgb(24, 24, 24);

// Only the outline, so that what lies under the brush stays in sight: the
// brush's colour inside a dark ring that keeps it visible on any picture.
QImage DrawBrushPicture(int size, QRgb colour, bool square)
{
    QImage picture(size, size, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    const auto outline = [&](const QRect& box, QRgb pen) {
        painter.setPen(QPen(QColor(pen), 1));
        if (square)
            painter.drawRect(box);
        else
            painter.drawEllipse(box);
    };
    // The box's right and bottom edges lie outside the shape.
    const QRect box(0, 0, size - 1, size - 1);
    outline(box, DarkRing);
    outline(box.adjusted(1, 1, -1, -1), colour);
    return picture;
}

} // namespace

int CCanvasPane::BrushScreenSize() const
{
    // The pencils draw one pixel whatever the brush size.
    const bool pencil = m_nTool == ToolSourceOutline || m_nTool == ToolGuide;
    return pencil ? SmallestCursorSize : std::max(SmallestCursorSize, TruncToInt(m_nBrushSize * GetZoom()));
}

double CCanvasPane::DeviceRatio() const
{
    return devicePixelRatioF();
}

void CCanvasPane::RebuildCursor()
{
    const int size = BrushScreenSize();
    m_bOutlineOnCanvas = size > LargestCursorSize || DeviceRatio() != 1.0;
    if (m_bOutlineOnCanvas) {
        m_imgCursor = QImage();
        setCursor(Qt::CrossCursor);
    } else {
        const bool eraser = m_nTool == ToolEraser;
        m_imgCursor = DrawBrushPicture(size, eraser ? qRgb(255, 255, 255) : BrushColour(), eraser);
        // Black is see-through: all but the outline.
        if (const auto cursor = m_colorCursor.CreateColorCursor(m_imgCursor, qRgb(0, 0, 0), size / 2, size / 2))
            setCursor(*cursor);
    }
    update();
}

QRect CCanvasPane::OutlineRect(QPoint centre) const
{
    const int size = BrushScreenSize();
    // One pixel more on each side for the dark ring around the outline.
    return QRect(centre.x() - size / 2 - 1, centre.y() - size / 2 - 1, size + 3, size + 3);
}

void CCanvasPane::DrawBrushOutline(QPainter& painter) const
{
    const int size = BrushScreenSize();
    const QRect box(m_ptHover.x() - size / 2, m_ptHover.y() - size / 2, size - 1, size - 1);
    const bool square = m_nTool == ToolEraser;
    const QColor colour = square ? QColor(Qt::white) : QColor(BrushColour());
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    // A dark ring around the coloured one keeps it visible on any picture.
    painter.setPen(QPen(Qt::black, 1));
    if (square)
        painter.drawRect(box.adjusted(-1, -1, 1, 1));
    else
        painter.drawEllipse(box.adjusted(-1, -1, 1, 1));
    painter.setPen(QPen(colour, 1));
    if (square)
        painter.drawRect(box);
    else
        painter.drawEllipse(box);
}

void CCanvasPane::mouseMoveEvent(QMouseEvent* event)
{
    PanTo(event->position().toPoint());
    if (m_bStroking)
        FollowPointer(*event);
    if (m_bOutlineOnCanvas) {
        if (m_bHovering)
            update(OutlineRect(m_ptHover));
        m_ptHover = event->position().toPoint();
        update(OutlineRect(m_ptHover));
    }
    m_bHovering = true;
    m_ptHover = event->position().toPoint();
    event->accept();
}

void CCanvasPane::leaveEvent(QEvent* event)
{
    if (m_bHovering && m_bOutlineOnCanvas)
        update(OutlineRect(m_ptHover));
    m_bHovering = false;
    CPreviewPane::leaveEvent(event);
}
