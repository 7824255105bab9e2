// SPDX-License-Identifier: MIT
// The keyboard shortcuts: Z and X make the brush one pixel smaller or
// larger, Shift+V and Shift+S show the credits. They work whatever control
// has the focus, and the key still reaches that control afterwards.
#include "app/viewer_dialog.h"

#include "app/credits.h"
#include "canvas/canvas_pane.h"
#include "controls/message_box.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSlider>

bool CViewerDlg::IsFirstReceiverOfKeys(const QObject* watched) const
{
    const QWidget* focus = QApplication::focusWidget();
    if (focus)
        return watched == focus && focus->window() == this;
    return watched == this;
}

void CViewerDlg::PreTranslateMessage(const QKeyEvent& event)
{
    const bool shift = event.modifiers() & Qt::ShiftModifier;
    // Ctrl+Z and the like are commands of their own, not brush steps.
    const bool command = event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    switch (event.key()) {
    case Qt::Key_Z:
        if (!command)
            StepBrushSize(-1);
        break;
    case Qt::Key_X:
        if (!command)
            StepBrushSize(+1);
        break;
    case Qt::Key_V:
        if (shift)
            ShowMessageBox(AuthorsCreditText());
        break;
    case Qt::Key_S:
        if (shift)
            ShowMessageBox(LibraryCreditText());
        break;
    default: break;
    }
}

void CViewerDlg::StepBrushSize(int step)
{
    // The slider keeps its position within 1 to 100.
    m_slBrushSize->setValue(m_slBrushSize->sliderPosition() + step);
    m_pCanvas->SetBrushSize(m_slBrushSize->sliderPosition());
    UpdateBrushSizeText();
}
