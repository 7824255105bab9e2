// SPDX-License-Identifier: MIT
// Moving the view without the scroll bars: dragging with the middle button,
// or with the left one while the pan key is held, and the arrow keys.
#include "canvas/canvas_pane.h"

#include <QKeyEvent>

namespace {

// How far one press of an arrow key scrolls, in screen pixels.
constexpr int ArrowStep = 40;

} // namespace

void CCanvasPane::PanTo(QPoint widgetPoint)
{
    if (!m_bPanning)
        return;
    const QPoint moved = widgetPoint - m_ptPanStart;
    ScrollTo(m_ptPanScroll.x() - moved.x(), m_ptPanScroll.y() - moved.y());
}

void CCanvasPane::keyPressEvent(QKeyEvent* event)
{
    const QPoint scroll = ScrollPosition();
    switch (event->key()) {
    case Qt::Key_Left: ScrollTo(scroll.x() - ArrowStep, scroll.y()); break;
    case Qt::Key_Right: ScrollTo(scroll.x() + ArrowStep, scroll.y()); break;
    case Qt::Key_Up: ScrollTo(scroll.x(), scroll.y() - ArrowStep); break;
    case Qt::Key_Down: ScrollTo(scroll.x(), scroll.y() + ArrowStep); break;
    default: CPreviewPane::keyPressEvent(event); return;
    }
    event->accept();
}
