// SPDX-License-Identifier: MIT
// Navigation of the main dialog: the wheel zooms wherever it is turned,
// Space held over the view pans it, backslash held shows the picture as it
// was opened, and a picture file dropped on the window opens it.
#include "app/viewer_dialog.h"

#include "canvas/canvas_pane.h"

#include <QAbstractSlider>
#include <QComboBox>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>
#include <QWheelEvent>

namespace {

// The local file a drag carries, or nothing.
QString DraggedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QUrl url = data->urls().constFirst();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

} // namespace

bool CViewerDlg::FilterNavigation(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return false;
    switch (event->type()) {
    case QEvent::Wheel: {
        // Sliders, scroll bars and lists would take the wheel for themselves.
        auto* wheel = static_cast<QWheelEvent*>(event);
        if ((!qobject_cast<QAbstractSlider*>(widget) && !qobject_cast<QComboBox*>(widget)) ||
            wheel->angleDelta().y() == 0)
            return false;
        WheelZoom(wheel->angleDelta().y(), wheel->globalPosition().toPoint());
        return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!IsFirstReceiverOfKeys(watched) || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        const bool down = event->type() == QEvent::KeyPress;
        if (key->key() == Qt::Key_Backslash) {
            if (!key->isAutoRepeat())
                m_pCanvas->ShowOriginal(down);
            return true;
        }
        // Space pans only with the pointer over the view, so that it still
        // presses the focused button elsewhere.
        if (key->key() == Qt::Key_Space && m_pCanvas->rect().contains(m_pCanvas->mapFromGlobal(QCursor::pos()))) {
            if (!key->isAutoRepeat())
                m_pCanvas->SetPanKey(down);
            return true;
        }
        return false;
    }
    default: return false;
    }
}

void CViewerDlg::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DraggedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CViewerDlg::dropEvent(QDropEvent* event)
{
    const QString path = DraggedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    OpenPictureFile(path);
}
