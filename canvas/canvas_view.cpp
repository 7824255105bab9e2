// SPDX-License-Identifier: MIT
// What the canvas shows over the picture: below 1:1 every marked pixel stays
// visible, and a large brush is outlined where the mouse is.
#include "canvas/canvas_pane.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

void CCanvasPane::FitZoomChanged()
{
    RebuildCursor();
    emit ZoomChanged(GetZoom());
}

void CCanvasPane::paintEvent(QPaintEvent* event)
{
    CPreviewPane::paintEvent(event);
    if (!HasPicture())
        return;
    QPainter painter(this);
    painter.setClipRect(m_rcClient);
    DrawThinMarks(painter, event->rect());
    if (m_bOutlineOnCanvas && m_bHovering)
        DrawBrushOutline(painter);
}

void CCanvasPane::DrawThinMarks(QPainter& painter, const QRect& exposed) const
{
    // Outside the strokes' rectangle the overlay is black.
    const QRect strokes = m_rcStrokes & QRect(0, 0, m_nWidth, m_nHeight);
    if (GetZoom() >= 1.0 || m_imgOverlay.isNull() || strokes.isEmpty())
        return;
    const Placement placement = PicturePlacement();
    const QRect shown = placement.target.translated(m_rcClient.topLeft());
    const QRect area = shown & exposed & m_rcClient;
    if (area.isEmpty())
        return;
    // Screen pixels per picture pixel, as the picture is drawn.
    const double scaleX = static_cast<double>(placement.target.width()) / m_nWidth;
    const double scaleY = static_cast<double>(placement.target.height()) / m_nHeight;
    const auto firstPictureX = [&](int screen) {
        return placement.sourceOrigin.x() + static_cast<int>(std::floor((screen - shown.x()) / scaleX));
    };
    const auto firstPictureY = [&](int screen) {
        return placement.sourceOrigin.y() + static_cast<int>(std::floor((screen - shown.y()) / scaleY));
    };
    const int fromX = std::clamp(firstPictureX(area.left()), 0, m_nWidth);
    const int toX = std::clamp(firstPictureX(area.right() + 1), fromX + 1, m_nWidth);
    const int markedFromX = std::max(fromX, strokes.left());
    const int markedToX = std::min(toX, strokes.right() + 1);

    QImage marks(area.size(), QImage::Format_ARGB32_Premultiplied);
    marks.fill(Qt::transparent);
    bool anyMark = false;
    for (int row = 0; row < area.height(); ++row) {
        const int fromY = std::clamp(firstPictureY(area.top() + row), 0, m_nHeight);
        const int toY = std::clamp(firstPictureY(area.top() + row + 1), fromY + 1, m_nHeight);
        auto* target = reinterpret_cast<QRgb*>(marks.scanLine(row));
        for (int y = std::max(fromY, strokes.top()); y < std::min(toY, strokes.bottom() + 1); ++y) {
            const auto* overlay = reinterpret_cast<const QRgb*>(m_imgOverlay.constScanLine(y));
            for (int x = markedFromX; x < markedToX; ++x) {
                const QRgb mark = overlay[x];
                if (mark != HoleRgb && mark != OutlineRgb && mark != GuideRgb)
                    continue;
                const int column = shown.x() - area.x() +
                                   static_cast<int>(std::floor((x - placement.sourceOrigin.x()) * scaleX));
                if (column < 0 || column >= area.width())
                    continue;
                // The hole's mark wins: what is removed matters most.
                if (target[column] != HoleRgb)
                    target[column] = mark;
                anyMark = true;
            }
        }
    }
    if (anyMark)
        painter.drawImage(area.topLeft(), marks);
}
