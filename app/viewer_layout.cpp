// SPDX-License-Identifier: MIT
// The layout on resize: the zoom buttons keep their distance to the right
// edge, the settings group with Paint and Undo to the bottom-right corner,
// and the canvas grows with the window. Everything else stays put.
#include "app/viewer_dialog.h"

#include "canvas/canvas_pane.h"
#include "res/resource_ids.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMenuBar>

#include <algorithm>

QWidget* CViewerDlg::Control(int id) const
{
    return m_pClient->findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

int CViewerDlg::MenuBarHeight() const
{
    // A menu bar the platform shows outside the window takes no room in it.
    return m_pMenuBar->isNativeMenuBar() ? 0 : m_pMenuBar->sizeHint().height();
}

void CViewerDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const int menuHeight = MenuBarHeight();
    m_pMenuBar->setGeometry(0, 0, width(), menuHeight);
    m_pClient->setGeometry(0, menuHeight, width(), std::max(0, height() - menuHeight));
}

bool CViewerDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pClient && event->type() == QEvent::Resize)
        OnSize(isMinimized(), m_pClient->width(), m_pClient->height());
    if (FilterNavigation(watched, event))
        return true;
    if (event->type() == QEvent::KeyPress && IsFirstReceiverOfKeys(watched))
        PreTranslateMessage(static_cast<const QKeyEvent&>(*event));
    return QDialog::eventFilter(watched, event);
}

void CViewerDlg::OnSize(bool minimised, int cx, int cy)
{
    // A minimised window keeps its layout, so restoring it moves nothing.
    if (m_bInitializing || minimised)
        return;
    const int dx = cx - m_rcClient.width();
    const int dy = cy - m_rcClient.height();
    m_rcClient = QRect(0, 0, cx, cy);

    MoveControls({IDC_ZOOM_FIT, IDC_ACTUAL_SIZE, IDC_ZOOM_IN, IDC_ZOOM_OUT, IDC_ZOOM_LABEL, IDC_ZOOM_TEXT}, dx, dy,
                 true, false);
    MoveControls({IDC_SETTINGS_GROUP, IDC_PATCH_SIZE_LABEL, IDC_PATCH_SIZE, IDC_PATCH_SIZE_TEXT, IDC_SMOOTH_SEAM,
                  IDC_FILL_METHOD_LABEL, IDC_FILL_METHOD, IDC_PAINT, IDC_UNDO},
                 dx, dy, true, true);
    const QPoint canvasCorner = m_pCanvas->pos();
    m_pCanvas->resize(std::max(0, cx - m_canvasGap.width() - canvasCorner.x()),
                      std::max(0, cy - m_canvasGap.height() - canvasCorner.y()));
    if (QWidget* line = Control(IDC_TOOLBAR_LINE))
        line->resize(std::max(0, cx - line->x() - 10), line->height());
}

void CViewerDlg::MoveControls(std::initializer_list<int> ids, int dx, int dy, bool moveX, bool moveY)
{
    for (const int id : ids) {
        if (QWidget* control = Control(id))
            control->move(control->pos() + QPoint(moveX ? dx : 0, moveY ? dy : 0));
    }
}
