// SPDX-License-Identifier: MIT
// The program's one main window: the toolbar, the canvas the user paints
// on, the inpainting settings and the Paint and Undo buttons. Every user
// command arrives here. Enter and Escape never close it; only the close box,
// Alt+F4 and "E&xit" do, and they store the settings first.
#pragma once

#include "canvas/bitmap.h"

#include <QDialog>
#include <QRect>

#include <initializer_list>

class CCanvasPane;
class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenuBar;
class QSlider;

// Set at start-up and by every Open command, cleared by Paint: while set,
// Undo does nothing, so it acts only after a Paint on the current picture.
extern bool g_bImageJustOpened;

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
    void SaveImage();
    void PaintCommand();
    void UndoCommand();
    void SelectTool(int tool);
    void SelectShape(int shape);

    CCanvasPane* Canvas() const { return m_pCanvas; }
    FIBITMAP* Mask() const { return m_pMask.get(); }
    int PatchSize() const { return m_nPatchSize; }
    bool SmoothSeam() const { return m_bSmoothSeam != 0; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AttachControls();
    void CreateMenu();
    void ConnectCommands();
    void OnInitDialog();
    void ReloadLastPicture();
    void StoreSettings();
    // What every Open does after the file dialog, whatever its outcome.
    void AfterOpen();
    void ReplaceMask();

    void SetStatusText(const QString& text);
    void UpdateBrushSizeText();
    void UpdatePatchSizeText();
    void UpdateZoomText(double zoom);
    void SetupToolbarButton(QAbstractButton* button, const QString& face, const QString& tip);

    void OnHScroll(QSlider* slider);
    void OnBrushSizeListChanged(int index);
    void OnSmoothSeamClicked();
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
    QString m_strLastFile;
    QCheckBox* m_chkReloadLast = nullptr;
    QComboBox* m_cbBrushSize = nullptr;
    QSlider* m_slBrushSize = nullptr;
    QLabel* m_stBrushSize = nullptr;
    QAbstractButton* m_btnBrush = nullptr;
    QAbstractButton* m_btnOutline = nullptr;
    QAbstractButton* m_btnEraser = nullptr;
    QAbstractButton* m_btnZoomIn = nullptr;
    QAbstractButton* m_btnZoomOut = nullptr;
    QAbstractButton* m_btnStepBack = nullptr;
    QAbstractButton* m_btnStepForward = nullptr;
    QAbstractButton* m_btnSquare = nullptr;
    QAbstractButton* m_btnRound = nullptr;
    QLabel* m_stFileName = nullptr;
    QAbstractButton* m_btnOpen = nullptr;
    QAbstractButton* m_btnSave = nullptr;
    QAbstractButton* m_btnFit = nullptr;
    QAbstractButton* m_btnActualSize = nullptr;
    QSlider* m_slPatchSize = nullptr;
    QLabel* m_stPatchSize = nullptr;
    QCheckBox* m_chkSmoothSeam = nullptr;
    bool m_bInitializing = true;
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
