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
#include <QKeySequence>
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
    onMenu(ID_EDIT_UNDO, &CViewerDlg::UndoCommand);
    onMenu(ID_EDIT_REDO, &CViewerDlg::RedoCommand);
    onMenu(ID_EDIT_PREFERENCES, &CViewerDlg::PreferencesCommand);
    onMenu(ID_VIEW_ZOOM_IN, &CViewerDlg::ZoomInCommand);
    onMenu(ID_VIEW_ZOOM_OUT, &CViewerDlg::ZoomOutCommand);
    onMenu(ID_VIEW_ZOOM_FIT, &CViewerDlg::ZoomFitCommand);
    onMenu(ID_VIEW_ACTUAL_SIZE, &CViewerDlg::ZoomActualSizeCommand);
    const auto onTool = [this](int id, int tool) {
        connect(m_pMenuBar->findChild<QAction*>(QString::number(id)), &QAction::triggered, this,
                [this, tool] { SelectTool(tool); });
    };
    onTool(ID_TOOL_BRUSH, ToolHoleBrush);
    onTool(ID_TOOL_ERASER, ToolEraser);
    onTool(ID_TOOL_OUTLINE, ToolSourceOutline);
    onTool(ID_TOOL_GUIDE, ToolGuide);
    connect(m_pMenuBar->findChild<QAction*>(QString::number(ID_TOOL_SMALLER)), &QAction::triggered, this,
            [this] { StepBrushSize(-1); });
    connect(m_pMenuBar->findChild<QAction*>(QString::number(ID_TOOL_LARGER)), &QAction::triggered, this,
            [this] { StepBrushSize(+1); });
    onMenu(ID_HELP_READ, &CViewerDlg::OpenHelp);
    onMenu(ID_HELP_ABOUT, &CViewerDlg::ShowAboutBox);

    onClick(m_btnZoomIn, &CViewerDlg::ZoomInCommand);
    onClick(m_btnZoomOut, &CViewerDlg::ZoomOutCommand);
    onClick(m_btnActualSize, &CViewerDlg::ZoomActualSizeCommand);
    onClick(m_btnFit, &CViewerDlg::ZoomFitCommand);

    connect(m_btnBrush, &QAbstractButton::clicked, this, [this] { SelectTool(ToolHoleBrush); });
    connect(m_btnOutline, &QAbstractButton::clicked, this, [this] { SelectTool(ToolSourceOutline); });
    connect(m_btnGuide, &QAbstractButton::clicked, this, [this] { SelectTool(ToolGuide); });
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
    connect(m_cbFillMethod, &QComboBox::currentIndexChanged, this, &CViewerDlg::OnFillMethodChanged);

    onClick(qobject_cast<QAbstractButton*>(Control(IDC_PAINT)), &CViewerDlg::PaintCommand);
    onClick(qobject_cast<QAbstractButton*>(Control(IDC_UNDO)), &CViewerDlg::UndoCommand);
    // Held down, the button shows the picture as it was opened.
    auto* before = qobject_cast<QAbstractButton*>(Control(IDC_BEFORE_AFTER));
    connect(before, &QAbstractButton::pressed, this, [this] { m_pCanvas->ShowOriginal(true); });
    connect(before, &QAbstractButton::released, this, [this] { m_pCanvas->ShowOriginal(false); });
    connect(m_pCanvas, &CCanvasPane::RevisionChanged, this, &CViewerDlg::UpdateWindowTitle);
    connect(m_pCanvas, &CCanvasPane::RevisionChanged, this, &CViewerDlg::UpdateHistoryCommands);
    connect(m_pCanvas, &CCanvasPane::ZoomChanged, this, &CViewerDlg::UpdateZoomText);
}

void CViewerDlg::OpenCommand()
{
    if (PaintRunning())
        return;
    const QString path = m_pCanvas->AskPictureName();
    if (!path.isEmpty())
        OpenPictureFile(path);
}

void CViewerDlg::OpenPictureFile(const QString& path)
{
    if (PaintRunning())
        return;
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
    AddRecentFile(m_pCanvas->OpenedFileName());
    // Every way of opening shows the whole picture filling the view.
    if (m_pCanvas->HasPicture())
        m_pCanvas->ZoomToFit();
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

void CViewerDlg::UpdateHistoryCommands()
{
    const CPaintHistory& history = m_pCanvas->History();
    m_pMenuBar->findChild<QAction*>(QString::number(ID_EDIT_UNDO))->setEnabled(history.CanUndo());
    m_pMenuBar->findChild<QAction*>(QString::number(ID_EDIT_REDO))->setEnabled(history.CanRedo());
    Control(IDC_UNDO)->setEnabled(history.CanUndo());
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

void CViewerDlg::SetToolTips()
{
    // A button's tip names its command and, where there is one, its key.
    const auto tip = [this](QWidget* button, const QString& name, int menuId) {
        const QAction* action = menuId ? m_pMenuBar->findChild<QAction*>(QString::number(menuId)) : nullptr;
        const QString key = action ? action->shortcut().toString(QKeySequence::NativeText) : QString();
        button->setToolTip(key.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, key));
    };
    tip(m_btnOpen, QStringLiteral("Open image"), ID_FILE_OPEN_IMAGE);
    tip(m_btnSave, QStringLiteral("Save image"), ID_FILE_SAVE_IMAGE);
    tip(m_btnBrush, QStringLiteral("Hole brush"), ID_TOOL_BRUSH);
    tip(m_btnOutline, QStringLiteral("Outline pencil"), ID_TOOL_OUTLINE);
    tip(m_btnGuide, QStringLiteral("Guide pencil"), ID_TOOL_GUIDE);
    tip(m_btnEraser, QStringLiteral("Eraser"), ID_TOOL_ERASER);
    tip(m_btnFit, QStringLiteral("Fit to window"), ID_VIEW_ZOOM_FIT);
    tip(m_btnActualSize, QStringLiteral("Actual size"), ID_VIEW_ACTUAL_SIZE);
    tip(m_btnZoomIn, QStringLiteral("Zoom in"), ID_VIEW_ZOOM_IN);
    tip(m_btnZoomOut, QStringLiteral("Zoom out"), ID_VIEW_ZOOM_OUT);
    tip(Control(IDC_UNDO), QStringLiteral("Undo"), ID_EDIT_UNDO);
    Control(IDC_BEFORE_AFTER)->setToolTip(QStringLiteral("Hold to see the picture as opened (\\)"));
    const QString methods = QStringLiteral(
        "How Paint fills the hole:\n"
        "Patches: copies patches from the best-matching places nearby; for texture,\n"
        "small blemishes and when speed matters.\n"
        "Structure: gives each region of the hole one offset into the picture and\n"
        "blends the seams; carries horizons, shorelines and long edges through.");
    m_cbFillMethod->setToolTip(methods);
    Control(IDC_FILL_METHOD_LABEL)->setToolTip(methods);
    const QString patchesOnly = QStringLiteral("\n(Patches method only; Structure does not use it.)");
    for (const int id : {IDC_PATCH_SIZE_LABEL, IDC_PATCH_SIZE})
        Control(id)->setToolTip(QStringLiteral("Edge of the copied patches") + patchesOnly);
    m_chkSmoothSeam->setToolTip(QStringLiteral("Blend each pasted patch into the pixels around it") + patchesOnly);
}

void CViewerDlg::ShowAboutBox()
{
    CAboutDlg about(this);
    about.exec();
}
