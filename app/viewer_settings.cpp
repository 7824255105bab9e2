// SPDX-License-Identifier: MIT
// The reload of the last picture at start-up and the settings written when
// the window closes.
#include "app/viewer_dialog.h"

#include "app/app_settings.h"
#include "canvas/canvas_pane.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>

void CViewerDlg::ReloadLastPicture()
{
    CAppSettings settings;
    if (settings.ReadReloadLastFile() == 0)
        return;
    m_strLastFile = settings.ReadLastFile();
    m_chkReloadLast->setChecked(true);
    if (!m_strLastFile.isEmpty() && m_pCanvas->OpenPicture(m_strLastFile)) {
        UpdateZoomText(m_pCanvas->GetZoom());
        m_stFileName->setText(m_pCanvas->OpenedFileName());
        ReplaceMask();
    }
}

void CViewerDlg::StoreSettings()
{
    CAppSettings settings;
    const bool reload = m_chkReloadLast->isChecked();
    settings.WriteReloadLastFile(reload ? 1 : 0);
    // A last picture that could not be reloaded is tried again next time.
    if (reload)
        settings.WriteLastFile(m_pCanvas->HasPicture() ? m_pCanvas->OpenedFileName() : m_strLastFile);
}

void CViewerDlg::closeEvent(QCloseEvent* event)
{
    if (!MayDropPicture()) {
        event->ignore();
        return;
    }
    StoreSettings();
    event->accept();
    done(QDialog::Rejected);
}
