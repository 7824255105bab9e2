// SPDX-License-Identifier: MIT
// Strokes: the press paints one dab of the brush, then while the left button
// is down every pointer position the system delivers draws a straight segment
// from the previous one, with round caps and no antialiasing, so every marked
// pixel holds exactly the brush colour. The application asks for motion events
// uncompressed, so that a slow repaint at a low zoom loses no position. Outline strokes leave hole pixels
// alone, so that what the user marked for removal stays marked; removal
// strokes leave guide pixels alone, so that a guide drawn before the hole
// still runs across it; guide lines are drawn over everything.
#include "canvas/canvas_pane.h"

#include "canvas/pointer_history.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

// Rectangles given by their edges exclude the right and bottom ones.
QRect RectFromEdges(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

// Where Qt's own dab of a pen of this width covers the brush's width around
// the pixel: odd widths are centred on the pixel's middle.
QPointF DabCentre(QPoint point, int width)
{
    return width > 1 && width % 2 == 1 ? QPointF(point) + QPointF(0.5, 0.5) : QPointF(point);
}

void DrawShape(QImage& layer, const QPen& pen, QPoint from, QPoint to)
{
    QPainter painter(&layer);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(pen);
    // A line of no length draws nothing; a point is the pen's dab.
    if (from == to)
        painter.drawPoint(DabCentre(from, pen.width()));
    else
        painter.drawLine(from, to);
}

} // namespace

int CCanvasPane::PenWidth() const
{
    return m_nTool == ToolSourceOutline || m_nTool == ToolGuide ? m_nOutlineWidth : m_nBrushSize;
}

QRgb CCanvasPane::BrushColour() const
{
    switch (m_nTool) {
    case ToolHoleBrush: return HoleRgb;
    case ToolSourceOutline: return OutlineRgb;
    case ToolGuide: return GuideRgb;
    default: return qRgb(0, 0, 0);
    }
}

void CCanvasPane::mousePressEvent(QMouseEvent* event)
{
    const bool pan = event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && m_bPanKey);
    if (pan && !m_bStroking && !m_bPanning) {
        m_bPanning = true;
        m_ptPanStart = event->position().toPoint();
        m_ptPanScroll = ScrollPosition();
        setCursor(Qt::ClosedHandCursor);
    } else if (event->button() == Qt::LeftButton && !m_bStroking && !m_bPanning) {
        m_nLastMotionTime = event->timestamp();
        m_ptLastPointer = event->position().toPoint();
        BeginStroke(event->position().toPoint() - m_rcClient.topLeft());
    }
    event->accept();
}

void CCanvasPane::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_bPanning && (event->buttons() & (Qt::LeftButton | Qt::MiddleButton)) == 0) {
        m_bPanning = false;
        SetPanKey(m_bPanKey);
    }
    if (event->button() == Qt::LeftButton && m_bStroking) {
        FollowPointer(*event);
        EndStroke();
    }
    event->accept();
}

void CCanvasPane::BeginStroke(QPoint client)
{
    m_ptLast = ClientToImage(client);
    m_strokePen = QPen(QColor(BrushColour()), PenWidth(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    m_bStroking = true;
    m_imgOverlayBeforeStroke = m_imgOverlay;
    m_rcStroke = QRect();
    // The press point is painted whatever the cursor does next.
    DrawPiece(m_ptLast, m_ptLast);
    // Dragging outside the view keeps drawing.
    grabMouse();
}

void CCanvasPane::FollowPointer(const QMouseEvent& event)
{
    // Positions the system merged into this event come first.
    for (QPoint missed : PointerPositionsSince(*this, m_nLastMotionTime, m_ptLastPointer, event.timestamp()))
        DrawSegment(missed - m_rcClient.topLeft());
    m_ptLastPointer = event.position().toPoint();
    DrawSegment(m_ptLastPointer - m_rcClient.topLeft());
    m_nLastMotionTime = event.timestamp();
}

void CCanvasPane::EndStroke()
{
    m_bStroking = false;
    releaseMouse();
    // Without room for the step the stroke stays but cannot be undone alone.
    if (!m_rcStroke.isEmpty()) {
        if (std::optional<CPaintStep> step = CPaintStep::TakeStroke(m_imgOverlayBeforeStroke, m_rcStroke))
            m_history.Push(std::move(*step));
    }
    m_imgOverlayBeforeStroke = QImage();
    emit RevisionChanged();
}

void CCanvasPane::DrawSegment(QPoint client)
{
    const QPoint current = ClientToImage(client);
    // The dab at the press point is drawn; a sample that has not moved adds nothing.
    if (current != m_ptLast)
        DrawPiece(m_ptLast, current);
    m_ptLast = current;
}

void CCanvasPane::DrawPiece(QPoint from, QPoint to)
{
    const int halfWidth = PenWidth() / 2;
    const QRect span = RectFromEdges(std::min(from.x(), to.x()) - halfWidth, std::min(from.y(), to.y()) - halfWidth,
                                     std::max(from.x(), to.x()) + halfWidth, std::max(from.y(), to.y()) + halfWidth);
    // Before the first picture there are no layers to draw into.
    if (m_imgDisplay.isNull())
        return;
    if (m_nTool == ToolEraser) {
        EraseRect(span);
    } else if (m_nTool == ToolSourceOutline) {
        DrawSparing(span.adjusted(-1, -1, 1, 1), from, to, HoleRgb);
    } else if (m_nTool == ToolHoleBrush) {
        DrawSparing(span.adjusted(-1, -1, 1, 1), from, to, GuideRgb);
    } else {
        DrawShape(m_imgDisplay, m_strokePen, from, to);
        DrawShape(m_imgOverlay, m_strokePen, from, to);
    }
    const QRect reach = span.adjusted(-2, -2, 2, 2) & QRect(0, 0, m_nWidth, m_nHeight);
    m_rcStrokes |= reach;
    m_rcStroke |= reach;
    // Only the segment changed; a picture pixel of slack covers the pen's
    // rasterisation at its ends.
    update(ImageRectToWidget(span.adjusted(-1, -1, 1, 1)));
}

void CCanvasPane::DrawSparing(const QRect& span, QPoint from, QPoint to, QRgb spared)
{
    const QRect area = span & m_imgOverlay.rect();
    if (area.isEmpty())
        return;
    // The stroke alone, drawn where the layers would have it, then copied
    // onto every pixel that is not spared.
    QImage piece(area.size(), QImage::Format_RGB32);
    piece.fill(Qt::black);
    DrawShape(piece, m_strokePen, from - area.topLeft(), to - area.topLeft());
    const QRgb colour = BrushColour();
    for (int y = 0; y < area.height(); ++y) {
        const auto* drawn = reinterpret_cast<const QRgb*>(piece.constScanLine(y));
        auto* overlay = reinterpret_cast<QRgb*>(m_imgOverlay.scanLine(area.y() + y)) + area.x();
        auto* display = reinterpret_cast<QRgb*>(m_imgDisplay.scanLine(area.y() + y)) + area.x();
        for (int x = 0; x < area.width(); ++x) {
            if (drawn[x] == colour && overlay[x] != spared) {
                overlay[x] = colour;
                display[x] = colour;
            }
        }
    }
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
