// SPDX-License-Identifier: MIT
// Construction of the main dialog and its start-up sequence.
#include "app/viewer_dialog.h"

#include "app/app_settings.h"
#include "app/button_pictures.h"
#include "app/dialog_template.h"
#include "app/dialog_units.h"
#include "app/snapshot_folder.h"
#include "canvas/canvas_pane.h"
#include "controls/transparent_picture.h"
#include "controls/xp_style_button_st.h"
#include "engine/inpaint_job.h"
#include "res/resource_ids.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QKeySequence>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QSlider>

#include <utility>

CViewerDlg::CViewerDlg(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Quenlo"));
    setWindowIcon(QIcon(LoadWithoutColour(ButtonPicturePath(IDR_MAINFRAME), ButtonPictureBackground)));
    setFont(DialogFont());
    setAcceptDrops(true);

    m_pMenuBar = new QMenuBar(this);
    CreateMenu();
    m_pClient = new QWidget(this);
    m_pClient->installEventFilter(this);
    qApp->installEventFilter(this);
    const DialogBaseUnits base = BaseUnitsOf(font());
    CreateViewerControls(m_pClient, base);
    m_pCanvas = new CCanvasPane(m_pClient);
    m_pCanvas->setObjectName(QString::number(IDC_CANVAS));
    m_pCanvas->hide();
    AttachControls();
    ConnectCommands();

    const QRect client = DialogUnitsToPixels(QRect(QPoint(0, 0), ViewerDialogUnits), base);
    resize(client.width(), client.height() + MenuBarHeight());
    // Smaller than its template, the window would push controls out of sight.
    setMinimumSize(client.width(), client.height() + MenuBarHeight());
    // A hidden window learns its size only when shown; the start-up
    // sequence needs the client area's now.
    m_pMenuBar->setGeometry(0, 0, client.width(), MenuBarHeight());
    m_pClient->setGeometry(0, MenuBarHeight(), client.width(), client.height());
}

CViewerDlg::~CViewerDlg() = default;

void CViewerDlg::AttachControls()
{
    const auto button = [this](int id) { return qobject_cast<CXPStyleButtonST*>(Control(id)); };
    const auto label = [this](int id) { return qobject_cast<QLabel*>(Control(id)); };
    const auto slider = [this](int id) { return qobject_cast<QSlider*>(Control(id)); };
    m_stZoom = label(IDC_ZOOM_TEXT);
    m_chkReloadLast = qobject_cast<QCheckBox*>(Control(IDC_RELOAD_LAST));
    m_cbBrushSize = qobject_cast<QComboBox*>(Control(IDC_BRUSH_SIZE_LIST));
    m_slBrushSize = slider(IDC_BRUSH_SIZE);
    m_stBrushSize = label(IDC_BRUSH_SIZE_TEXT);
    m_btnBrush = button(IDC_TOOL_BRUSH);
    m_btnOutline = button(IDC_TOOL_OUTLINE);
    m_btnGuide = button(IDC_TOOL_GUIDE);
    m_btnEraser = button(IDC_TOOL_ERASER);
    m_btnZoomIn = button(IDC_ZOOM_IN);
    m_btnZoomOut = button(IDC_ZOOM_OUT);
    m_btnStepBack = button(IDC_STEP_BACK);
    m_btnStepForward = button(IDC_STEP_FORWARD);
    m_btnSquare = button(IDC_SHAPE_SQUARE);
    m_btnRound = button(IDC_SHAPE_ROUND);
    m_stFileName = label(IDC_FILE_NAME);
    m_btnOpen = button(IDC_OPEN);
    m_btnSave = button(IDC_SAVE);
    m_btnFit = button(IDC_ZOOM_FIT);
    m_btnActualSize = button(IDC_ACTUAL_SIZE);
    m_slPatchSize = slider(IDC_PATCH_SIZE);
    m_stPatchSize = label(IDC_PATCH_SIZE_TEXT);
    m_chkSmoothSeam = qobject_cast<QCheckBox*>(Control(IDC_SMOOTH_SEAM));
    m_cbFillMethod = qobject_cast<QComboBox*>(Control(IDC_FILL_METHOD));
}

void CViewerDlg::CreateMenu()
{
    const auto add = [](QMenu* menu, const QString& text, int id, const QList<QKeySequence>& keys = {}) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::number(id));
        action->setShortcuts(keys);
        return action;
    };
    QMenu* file = m_pMenuBar->addMenu(QStringLiteral("&File"));
    add(file, QStringLiteral("Open image..."), ID_FILE_OPEN_IMAGE, QKeySequence::keyBindings(QKeySequence::Open));
    m_pRecentMenu = file->addMenu(QStringLiteral("Open &Recent"));
    m_pRecentMenu->setToolTipsVisible(true);
    add(file, QStringLiteral("Save image..."), ID_FILE_SAVE_IMAGE, QKeySequence::keyBindings(QKeySequence::Save));
    file->addSeparator();
    add(file, QStringLiteral("E&xit"), ID_FILE_EXIT, {QKeySequence(Qt::CTRL | Qt::Key_Q)});
    QMenu* edit = m_pMenuBar->addMenu(QStringLiteral("&Edit"));
    add(edit, QStringLiteral("&Undo"), ID_EDIT_UNDO, {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    add(edit, QStringLiteral("&Redo"), ID_EDIT_REDO,
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit->addSeparator();
    add(edit, QStringLiteral("&Preferences..."), ID_EDIT_PREFERENCES, QKeySequence::keyBindings(QKeySequence::Preferences))
        ->setMenuRole(QAction::PreferencesRole);
    QMenu* view = m_pMenuBar->addMenu(QStringLiteral("&View"));
    add(view, QStringLiteral("Zoom &in"), ID_VIEW_ZOOM_IN,
        {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal), QKeySequence(Qt::KeypadModifier | Qt::Key_Plus),
         QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    add(view, QStringLiteral("Zoom &out"), ID_VIEW_ZOOM_OUT,
        {QKeySequence(Qt::Key_Minus), QKeySequence(Qt::KeypadModifier | Qt::Key_Minus),
         QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    add(view, QStringLiteral("&Fit to window"), ID_VIEW_ZOOM_FIT, {QKeySequence(Qt::CTRL | Qt::Key_0)});
    add(view, QStringLiteral("&Actual size"), ID_VIEW_ACTUAL_SIZE, {QKeySequence(Qt::CTRL | Qt::Key_1)});
    QMenu* tools = m_pMenuBar->addMenu(QStringLiteral("&Tools"));
    add(tools, QStringLiteral("&Hole brush"), ID_TOOL_BRUSH, {QKeySequence(Qt::Key_B)});
    add(tools, QStringLiteral("&Eraser"), ID_TOOL_ERASER, {QKeySequence(Qt::Key_E)});
    add(tools, QStringLiteral("&Outline pencil"), ID_TOOL_OUTLINE, {QKeySequence(Qt::Key_O)});
    add(tools, QStringLiteral("&Guide pencil"), ID_TOOL_GUIDE, {QKeySequence(Qt::Key_G)});
    tools->addSeparator();
    add(tools, QStringLiteral("&Smaller brush"), ID_TOOL_SMALLER, {QKeySequence(Qt::Key_BracketLeft)});
    add(tools, QStringLiteral("&Larger brush"), ID_TOOL_LARGER, {QKeySequence(Qt::Key_BracketRight)});
    QMenu* help = m_pMenuBar->addMenu(QStringLiteral("&Help"));
    add(help, QStringLiteral("Read Help..."), ID_HELP_READ, QKeySequence::keyBindings(QKeySequence::HelpContents));
    help->addSeparator();
    add(help, QStringLiteral("About..."), ID_HELP_ABOUT);
}

void CViewerDlg::setVisible(bool visible)
{
    if (visible && m_bInitializing)
        OnInitDialog();
    QDialog::setVisible(visible);
}

void CViewerDlg::OnInitDialog()
{
    m_pCanvas->setGeometry(Control(IDC_CANVAS_PLACE)->geometry());
    m_pCanvas->show();
    m_pCanvas->SetTool(ToolHoleBrush);
    SetStatusText(QString());

    m_recentFiles.SetPaths(CAppSettings().ReadRecentFiles());
    UpdateRecentMenu();
    ReloadLastPicture();

    {
        // Setting up the controls is no user command.
        const QSignalBlocker listQuiet(m_cbBrushSize);
        const QSignalBlocker brushQuiet(m_slBrushSize);
        const QSignalBlocker patchQuiet(m_slPatchSize);
        const QSignalBlocker methodQuiet(m_cbFillMethod);
        for (int i = 1; i <= 10; ++i)
            m_cbBrushSize->insertItem(i - 1, QStringLiteral("%1 px").arg(i));
        m_cbBrushSize->setCurrentIndex(9);

        m_slBrushSize->setRange(1, 100);
        m_slBrushSize->setValue(10);
        m_slBrushSize->setPageStep(10);
        m_slBrushSize->setSingleStep(1);
        UpdateBrushSizeText();

        m_slPatchSize->setRange(MinPatchSize, MaxPatchSize);
        m_slPatchSize->setValue(32);
        m_slPatchSize->setPageStep(4);
        UpdatePatchSizeText();
        m_nPatchSize = 32;
        // Each entry holds the method's name, as the command line spells it.
        const std::pair<const char*, FillMethod> methods[] = {{"Patches", FillMethod::Patches},
                                                              {"Structure", FillMethod::Structure}};
        for (const auto& [text, method] : methods)
            m_cbFillMethod->addItem(QString::fromLatin1(text), QString::fromLatin1(FillMethodName(method)));
        SelectFillMethod(FillMethod::Patches);
        RestoreToolSettings();
    }

    const QColor transparent = ButtonPictureBackground;
    SetupBitmapButton(m_btnBrush, IDB_RED_BRUSH, transparent);
    m_btnBrush->SetToolbarLook(true);
    SetupBitmapButton(m_btnOutline, IDB_GREEN_PENCIL, transparent);
    m_btnOutline->SetToolbarLook(true);
    SetupBitmapButton(m_btnGuide, IDB_GUIDE_PENCIL, transparent);
    m_btnGuide->SetToolbarLook(true);
    SetupBitmapButton(m_btnEraser, IDB_ERASER, transparent);
    m_btnEraser->SetToolbarLook(true);
    SetupBitmapButton(m_btnZoomIn, IDB_ZOOM_IN, transparent);
    SetupBitmapButton(m_btnZoomOut, IDB_ZOOM_OUT, transparent);
    SetupBitmapButton(m_btnStepBack, IDB_ARROW_LEFT, transparent);
    SetupBitmapButton(m_btnStepForward, IDB_ARROW_RIGHT, transparent);
    SetupBitmapButton(m_btnOpen, IDB_OPEN_FOLDER, transparent);
    SetupBitmapButton(m_btnSave, IDB_FLOPPY_DISK, transparent);
    SetupBitmapButton(m_btnFit, IDB_ZOOM_FIT, transparent);
    SetupBitmapButton(m_btnActualSize, IDB_ACTUAL_SIZE, transparent);
    SetupBitmapButton(m_btnSquare, IDB_SHAPE_SQUARE, transparent);
    m_btnSquare->SetToolbarLook(true);
    SetupBitmapButton(m_btnRound, IDB_SHAPE_ROUND, transparent);
    m_btnRound->SetToolbarLook(true);
    m_btnBrush->SetCheckMark(1);
    m_btnSquare->SetCheckMark(1);
    SetToolTips();
    UpdateHistoryCommands();

    CleanSnapshotFolder();
    m_bSmoothSeam = m_chkSmoothSeam->isChecked() ? 1 : 0;
    m_bInitializing = false;
    m_rcClient = m_pClient->rect();
    const QRect canvas = m_pCanvas->geometry();
    m_canvasGap = QSize(m_rcClient.width() - canvas.x() - canvas.width(),
                        m_rcClient.height() - canvas.y() - canvas.height());
    setWindowState(windowState() | Qt::WindowMaximized);
}

void CViewerDlg::SetupBitmapButton(CXPStyleButtonST* button, int bitmap, QColor colour)
{
    button->SetThemeAccess(&m_ThemeHelper);
    const QString picture = ButtonPicturePath(bitmap);
    button->SetButtonBitmaps(picture, colour, picture, colour);
    button->SetFlatLook(false);
}
