// SPDX-License-Identifier: MIT
// The program's one main window: the toolbar, the canvas the user paints
// on, the inpainting settings and the Paint and Undo buttons. Every user
// command arrives here. Enter and Escape never close it; only the close box,
// Alt+F4 and "E&xit" do, and they store the settings first.
#pragma once

#include "app/recent_files.h"
#include "controls/theme_helper.h"
#include "picture/bitmap.h"
#include "structure/fill_method.h"

#include <QDialog>
#include <QRect>

#include <initializer_list>
#include <vector>

class CCanvasPane;
class CPaintRun;
struct InpaintJob;
class CXPStyleButtonST;
class QCheckBox;
class QComboBox;
class QLabel;
class QKeyEvent;
class QMenu;
class QMenuBar;
class QSlider;

class CViewerDlg : public QDialog {
    Q_OBJECT

public:
    explicit CViewerDlg(QWidget* parent = nullptr);
    ~CViewerDlg() override;

    // The first show runs the start-up sequence, which shows the window
    // maximised.
    void setVisible(bool visible) override;
    // Enter and Escape reach these; neither closes the dialog.
    void accept() override {}
    void reject() override {}

    void OpenCommand();
    // Opens a picture named on the command line, as the Open command opens
    // the one chosen in its dialog.
    void OpenPictureFile(const QString& path);
    // Opens an entry of "Open Recent"; one that is gone leaves the list.
    void OpenRecentFile(const QString& path);
    const QStringList& RecentFiles() const { return m_recentFiles.Paths(); }
    // True when the picture was written.
    bool SaveImage();
    // Asks whether changes not yet saved may go, saving them if the user
    // wants; true when the picture may be replaced or the window closed.
    bool MayDropPicture();
    void PaintCommand();
    void UndoCommand();
    void RedoCommand();
    void SelectTool(int tool);
    void SelectShape(int shape);
    // Opens help/help.htm beside the executable in the desktop's browser.
    void OpenHelp();
    void ShowAboutBox();
    void PreferencesCommand();

    // While a Paint runs no other command starts: the engine is writing the
    // picture and mask.
    bool PaintRunning() const { return m_pRunningPaint != nullptr; }

    CCanvasPane* Canvas() const { return m_pCanvas; }
    FIBITMAP* Mask() const { return m_pMask.get(); }
    int PatchSize() const { return m_nPatchSize; }
    bool SmoothSeam() const { return m_bSmoothSeam != 0; }
    FillMethod Method() const { return m_fillMethod; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Sees every key pressed in the dialog, whichever control has the
    // focus, before that control does; the key then goes on as usual.
    void PreTranslateMessage(const QKeyEvent& event);
    // A key goes first to the focus widget, then to its parents: only the
    // first of these sees it as a shortcut.
    bool IsFirstReceiverOfKeys(const QObject* watched) const;

private:
    void AttachControls();
    void CreateMenu();
    void ConnectCommands();
    void SetToolTips();
    void OnInitDialog();
    void ReloadLastPicture();
    void StoreSettings();
    // The stored brush size, fill method, patch size and seam smoothing,
    // when the user chose to keep them.
    void RestoreToolSettings();
    void AddRecentFile(const QString& path);
    void UpdateRecentMenu();
    // What every Open does after the file dialog, whatever its outcome.
    void AfterOpen();
    // The file's name and a mark while the picture differs from it.
    void UpdateWindowTitle();
    // Undo and Redo are enabled only while there is a step to take.
    void UpdateHistoryCommands();
    void ReplaceMask();
    // Runs the chosen fill while the progress box follows it; true when the
    // job ran to its end, false when the user cancelled it. fullDepth, when
    // given, is the picture at 16 bits per channel that takes the result;
    // guides (empty: none) are followed by the structure method.
    bool RunPaintJob(const InpaintJob& job, FIBITMAP* fullDepth, GuideMap guides);

    void SetStatusText(const QString& text);
    void UpdateBrushSizeText();
    void UpdatePatchSizeText();
    void UpdateZoomText(double zoom);
    void SetupBitmapButton(CXPStyleButtonST* button, int bitmap, QColor colour);

    void StepBrushSize(int step);
    void OnHScroll(QSlider* slider);
    void OnBrushSizeListChanged(int index);
    void OnSmoothSeamClicked();
    void OnFillMethodChanged(int index);
    void SelectFillMethod(FillMethod method);
    // One zoom step for a turn of the wheel at a point of the screen.
    void WheelZoom(int delta, QPoint globalPosition);
    // Keys and wheel turns of the navigation; true when the event is used up.
    bool FilterNavigation(QObject* watched, QEvent* event);
    void ZoomInCommand();
    void ZoomOutCommand();
    void ZoomFitCommand();
    void ZoomActualSizeCommand();

    void OnSize(bool minimised, int cx, int cy);
    void MoveControls(std::initializer_list<int> ids, int dx, int dy, bool moveX, bool moveY);
    QWidget* Control(int id) const;
    int MenuBarHeight() const;

    QLabel* m_stZoom = nullptr;
    BitmapPtr m_pMask;
    int m_nPatchSize = 32;
    unsigned char m_bSmoothSeam = 0;
    FillMethod m_fillMethod = FillMethod::Patches;
    CThemeHelperST m_ThemeHelper;
    QString m_strLastFile;
    QCheckBox* m_chkReloadLast = nullptr;
    CRecentFiles m_recentFiles;
    QMenu* m_pRecentMenu = nullptr;
    bool m_bRememberToolSettings = false;
    QComboBox* m_cbBrushSize = nullptr;
    QSlider* m_slBrushSize = nullptr;
    QLabel* m_stBrushSize = nullptr;
    CXPStyleButtonST* m_btnBrush = nullptr;
    CXPStyleButtonST* m_btnOutline = nullptr;
    CXPStyleButtonST* m_btnGuide = nullptr;
    CXPStyleButtonST* m_btnEraser = nullptr;
    CXPStyleButtonST* m_btnZoomIn = nullptr;
    CXPStyleButtonST* m_btnZoomOut = nullptr;
    CXPStyleButtonST* m_btnStepBack = nullptr;
    CXPStyleButtonST* m_btnStepForward = nullptr;
    CXPStyleButtonST* m_btnSquare = nullptr;
    CXPStyleButtonST* m_btnRound = nullptr;
    QLabel* m_stFileName = nullptr;
    CXPStyleButtonST* m_btnOpen = nullptr;
    CXPStyleButtonST* m_btnSave = nullptr;
    CXPStyleButtonST* m_btnFit = nullptr;
    CXPStyleButtonST* m_btnActualSize = nullptr;
    QSlider* m_slPatchSize = nullptr;
    QLabel* m_stPatchSize = nullptr;
    QCheckBox* m_chkSmoothSeam = nullptr;
    QComboBox* m_cbFillMethod = nullptr;
    bool m_bInitializing = true;
    CPaintRun* m_pRunningPaint = nullptr;
    // The window was asked to close while a Paint ran.
    bool m_bCloseAfterPaint = false;
    QRect m_rcClient;

    // The client area below the menu bar holds the controls; positions are
    // relative to it.
    QMenuBar* m_pMenuBar = nullptr;
    QWidget* m_pClient = nullptr;
    CCanvasPane* m_pCanvas = nullptr;
    // How far the canvas's right and bottom edges stay from the client
    // area's; the canvas follows the window's size through them, so that a
    // window made very small and large again gives the canvas back its size.
    QSize m_canvasGap;
};
