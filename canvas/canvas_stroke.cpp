// SPDX-License-Identifier: MIT
// Strokes: while the left button is down a 1 ms timer samples the cursor and
// draws a straight segment from the previous sample, with round caps and no
// antialiasing, so every marked pixel holds exactly the brush colour.
#include "canvas/canvas_pane.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

// Rectangles given by their edges exclude the right and bottom ones.
QRect RectFromEdges(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

void DrawLine(QImage& layer, const QPen& pen, QPoint from, QPoint to)
{
    QPainter painter(&layer);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(pen);
    painter.drawLine(from, to);
}

} // namespace

int CCanvasPane::PenWidth() const
{
    return m_nTool == ToolSourceOutline ? m_nOutlineWidth : m_nBrushSize;
}

QRgb CCanvasPane::BrushColour() const
{
    switch (m_nTool) {
    case ToolHoleBrush: return HoleRgb;
    case ToolSourceOutline: return OutlineRgb;
    default: return qRgb(0, 0, 0);
    }
}

QPoint CCanvasPane::CursorClientPosition() const
{
    return mapFromGlobal(QCursor::pos()) - m_rcClient.topLeft();
}

void CCanvasPane::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && !m_bStroking)
        BeginStroke(event->position().toPoint() - m_rcClient.topLeft());
    event->accept();
}

void CCanvasPane::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_bStroking)
        EndStroke();
    event->accept();
}

void CCanvasPane::BeginStroke(QPoint client)
{
    m_ptLast = ClientToImage(client);
    m_strokePen = QPen(QColor(BrushColour()), PenWidth(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    m_bStroking = true;
    DrawSegment();
    m_strokeTimer.start();
    // Dragging outside the view keeps drawing.
    grabMouse();
}

void CCanvasPane::EndStroke()
{
    m_strokeTimer.stop();
    DrawSegment();
    m_bStroking = false;
    releaseMouse();
}

void CCanvasPane::DrawSegment()
{
    const QPoint current = ClientToImage(CursorClientPosition());
    const int halfWidth = PenWidth() / 2;
    const QRect span = RectFromEdges(std::min(m_ptLast.x(), current.x()) - halfWidth,
                                     std::min(m_ptLast.y(), current.y()) - halfWidth,
                                     std::max(m_ptLast.x(), current.x()) + halfWidth,
                                     std::max(m_ptLast.y(), current.y()) + halfWidth);
    // Before the first picture there are no layers to draw into.
    if (!m_imgDisplay.isNull()) {
        if (m_nTool == ToolEraser) {
            EraseRect(span);
        } else {
            DrawLine(m_imgDisplay, m_strokePen, m_ptLast, current);
            DrawLine(m_imgOverlay, m_strokePen, m_ptLast, current);
        }
        // Only the segment changed; a picture pixel of slack covers the pen's
        // rasterisation at its ends.
        update(ImageRectToWidget(span.adjusted(-1, -1, 1, 1)));
    }
    m_ptLast = current;
}

void CCanvasPane::EraseRect(const QRect& rect)
{
    {
        QPainter display(&m_imgDisplay);
        display.setCompositionMode(QPainter::CompositionMode_Source);
        display.drawImage(rect.topLeft(), m_imgResult, rect);
    }
    QPainter overlay(&m_imgOverlay);
    overlay.fillRect(rect, Qt::black);
}
