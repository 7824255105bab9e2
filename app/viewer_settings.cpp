// SPDX-License-Identifier: MIT
// The reload of the last picture and the kept tool settings at start-up,
// the Preferences command, and the settings written when the window closes.
#include "app/viewer_dialog.h"

#include "app/app_settings.h"
#include "app/paint_run.h"
#include "app/preferences_dialog.h"
#include "canvas/canvas_pane.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QSlider>

void CViewerDlg::ReloadLastPicture()
{
    CAppSettings settings;
    if (settings.ReadReloadLastFile() == 0)
        return;
    m_strLastFile = settings.ReadLastFile();
    m_chkReloadLast->setChecked(true);
    if (!m_strLastFile.isEmpty() && m_pCanvas->OpenPicture(m_strLastFile)) {
        UpdateZoomText(m_pCanvas->ZoomToFit());
        m_stFileName->setText(m_pCanvas->OpenedFileName());
        ReplaceMask();
        AddRecentFile(m_strLastFile);
    }
}

void CViewerDlg::RestoreToolSettings()
{
    CAppSettings settings;
    m_bRememberToolSettings = settings.ReadRememberToolSettings();
    if (!m_bRememberToolSettings)
        return;
    // The sliders keep stored values that are out of range within it.
    const ToolSettings tools = settings.ReadToolSettings();
    m_slBrushSize->setValue(tools.brushSize);
    m_pCanvas->SetBrushSize(m_slBrushSize->value());
    UpdateBrushSizeText();
    m_slPatchSize->setValue(tools.patchSize);
    m_nPatchSize = m_slPatchSize->value();
    UpdatePatchSizeText();
    m_chkSmoothSeam->setChecked(tools.smoothSeam);
    SelectFillMethod(tools.method);
}

void CViewerDlg::PreferencesCommand()
{
    CPreferencesDlg preferences(m_bRememberToolSettings, this);
    if (preferences.exec() == QDialog::Accepted)
        m_bRememberToolSettings = preferences.RememberToolSettings();
}

void CViewerDlg::StoreSettings()
{
    CAppSettings settings;
    const bool reload = m_chkReloadLast->isChecked();
    settings.WriteReloadLastFile(reload ? 1 : 0);
    // A last picture that could not be reloaded is tried again next time.
    if (reload)
        settings.WriteLastFile(m_pCanvas->HasPicture() ? m_pCanvas->OpenedFileName() : m_strLastFile);
    settings.WriteRecentFiles(m_recentFiles.Paths());
    settings.WriteRememberToolSettings(m_bRememberToolSettings);
    // Not kept, they are not stored either: the next start uses the fixed values.
    if (m_bRememberToolSettings)
        settings.WriteToolSettings({m_pCanvas->BrushSize(), m_nPatchSize, m_bSmoothSeam != 0, m_fillMethod});
    else
        settings.RemoveToolSettings();
}

void CViewerDlg::closeEvent(QCloseEvent* event)
{
    // The Paint stops first; once the picture is as it was before it, the
    // close goes on as any other.
    if (m_pRunningPaint != nullptr) {
        m_pRunningPaint->Cancel();
        m_bCloseAfterPaint = true;
        event->ignore();
        return;
    }
    if (!MayDropPicture()) {
        event->ignore();
        return;
    }
    StoreSettings();
    event->accept();
    done(QDialog::Rejected);
}
