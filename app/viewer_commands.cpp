// SPDX-License-Identifier: MIT
// The message map of the main dialog, the Open command and the About box.
#include "app/viewer_dialog.h"

#include "app/about_dialog.h"

#include "canvas/canvas_pane.h"
#include "controls/message_box.h"
#include "controls/xp_style_button_st.h"
#include "res/resource_ids.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QSlider>

void CViewerDlg::ConnectCommands()
{
    const auto onClick = [this](QAbstractButton* button, void (CViewerDlg::*command)()) {
        connect(button, &QAbstractButton::clicked, this, command);
    };
    const auto onMenu = [this](int id, void (CViewerDlg::*command)()) {
        connect(m_pMenuBar->findChild<QAction*>(QString::number(id)), &QAction::triggered, this, command);
    };
    onClick(m_btnOpen, &CViewerDlg::OpenCommand);
    onMenu(ID_FILE_OPEN_IMAGE, &CViewerDlg::OpenCommand);
    connect(m_btnSave, &QAbstractButton::clicked, this, [this] { SaveImage(); });
    connect(m_pMenuBar->findChild<QAction*>(QString::number(ID_FILE_SAVE_IMAGE)), &QAction::triggered, this,
            [this] { SaveImage(); });
    connect(m_pMenuBar->findChild<QAction*>(QString::number(ID_FILE_EXIT)), &QAction::triggered, this,
            &QWidget::close);
    onMenu(ID_HELP_READ, &CViewerDlg::OpenHelp);
    onMenu(ID_HELP_ABOUT, &CViewerDlg::ShowAboutBox);

    onClick(m_btnZoomIn, &CViewerDlg::ZoomInCommand);
    onClick(m_btnZoomOut, &CViewerDlg::ZoomOutCommand);
    onClick(m_btnActualSize, &CViewerDlg::ZoomActualSizeCommand);
    onClick(m_btnFit, &CViewerDlg::ZoomFitCommand);

    connect(m_btnBrush, &QAbstractButton::clicked, this, [this] { SelectTool(ToolHoleBrush); });
    connect(m_btnOutline, &QAbstractButton::clicked, this, [this] { SelectTool(ToolSourceOutline); });
    connect(m_btnEraser, &QAbstractButton::clicked, this, [this] { SelectTool(ToolEraser); });
    connect(m_btnSquare, &QAbstractButton::clicked, this, [this] { SelectShape(BrushSquare); });
    connect(m_btnRound, &QAbstractButton::clicked, this, [this] { SelectShape(BrushRound); });
    connect(m_cbBrushSize, &QComboBox::currentIndexChanged, this, &CViewerDlg::OnBrushSizeListChanged);
    for (QSlider* slider : {m_slBrushSize, m_slPatchSize}) {
        // Every step, page, drag and release applies the slider's position.
        connect(slider, &QAbstractSlider::actionTriggered, this, [this, slider] { OnHScroll(slider); });
        connect(slider, &QAbstractSlider::sliderReleased, this, [this, slider] { OnHScroll(slider); });
    }
    onClick(m_chkSmoothSeam, &CViewerDlg::OnSmoothSeamClicked);

    onClick(qobject_cast<QAbstractButton*>(Control(IDC_PAINT)), &CViewerDlg::PaintCommand);
    onClick(qobject_cast<QAbstractButton*>(Control(IDC_UNDO)), &CViewerDlg::UndoCommand);
    connect(m_pCanvas, &CCanvasPane::RevisionChanged, this, &CViewerDlg::UpdateWindowTitle);
}

void CViewerDlg::OpenCommand()
{
    const QString path = m_pCanvas->AskPictureName();
    if (!path.isEmpty())
        OpenPictureFile(path);
}

void CViewerDlg::OpenPictureFile(const QString& path)
{
    if (MayDropPicture() && m_pCanvas->OpenPicture(path))
        AfterOpen();
}

bool CViewerDlg::MayDropPicture()
{
    if (!m_pCanvas->IsModified())
        return true;
    const QString name = QFileInfo(m_pCanvas->OpenedFileName()).fileName();
    switch (AskSaveChanges(QStringLiteral("Save changes to %1 before closing?").arg(name))) {
    case SaveAnswer::Save: return SaveImage();
    case SaveAnswer::Discard: return true;
    case SaveAnswer::Cancel: break;
    }
    return false;
}

void CViewerDlg::AfterOpen()
{
    g_bImageJustOpened = true;
    UpdateZoomText(m_pCanvas->GetZoom());
    m_stFileName->setText(m_pCanvas->OpenedFileName());
    SetStatusText(m_pCanvas->HasPicture() ? m_pCanvas->DepthText() : QString());
    ReplaceMask();
}

void CViewerDlg::UpdateWindowTitle()
{
    const QString name = QFileInfo(m_pCanvas->OpenedFileName()).fileName();
    setWindowTitle(name.isEmpty() ? QStringLiteral("Quenlo") : QStringLiteral("%1[*] - Quenlo").arg(name));
    setWindowModified(m_pCanvas->IsModified());
}

void CViewerDlg::ReplaceMask()
{
    m_pMask.reset(FreeImage_Allocate(m_pCanvas->PictureWidth(), m_pCanvas->PictureHeight(), 8, 0, 0, 0));
}

void CViewerDlg::SetStatusText(const QString& text)
{
    if (auto* status = qobject_cast<QLabel*>(Control(IDC_STATUS)))
        status->setText(text);
}

void CViewerDlg::ShowAboutBox()
{
    CAboutDlg about(this);
    about.exec();
}
