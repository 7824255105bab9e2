// SPDX-License-Identifier: MIT
// Paint: the user's strokes become the mask, the engine fills the hole, and
// the canvas shows the result. Undo and Redo walk through the Paint history.
#include "app/viewer_dialog.h"

#include "controls/wait_cursor.h"
#include "canvas/canvas_pane.h"
#include "canvas/overlay_capture.h"
#include "canvas/paint_reach.h"
#include "controls/message_box.h"
#include "mask/filled_pixels.h"
#include "mask/overlay_to_mask.h"
#include "picture/full_depth.h"

#include <new>
#include <utility>

void CViewerDlg::PaintCommand()
{
    if (!m_pCanvas->HasPicture()) {
        ShowMessageBox(QStringLiteral("No image!"));
        return;
    }
    // Without a hole there is nothing to fill; the strokes and Undo stay.
    if (!m_pCanvas->HasHoleStroke()) {
        ShowMessageBox(QStringLiteral("Nothing is marked for removal."));
        return;
    }
    const bool cmyk = m_pCanvas->ColorType() == FIC_CMYK;
    FIBITMAP* const target = cmyk ? m_pCanvas->CmykImage() : m_pCanvas->WorkingImage();
    // Only a picture too large for the memory left lacks these; painting
    // without them would write through null bitmaps.
    if (!m_pMask || !target) {
        ShowMessageBox(QStringLiteral("Not enough memory to paint this picture."));
        return;
    }
    const CWaitCursor waitCursor;
    std::optional<CMaskRuns> maskBefore;
    try {
        maskBefore = CMaskRuns::Of(m_pMask.get());
    } catch (const std::bad_alloc&) {
        ShowMessageBox(QStringLiteral("Not enough memory to paint this picture."));
        return;
    }
    g_bImageJustOpened = false;

    // Outside the strokes' rectangle the overlay is black: only that part is read.
    const std::optional<OverlayRows> overlay = OverlayRowsOf(m_pCanvas->OverlayLayer(), m_pCanvas->StrokesRect());
    if (!overlay)
        ShowMessageBox(QStringLiteral("GetDIBits() failed."));
    const int width = m_pCanvas->PictureWidth();
    const int height = m_pCanvas->PictureHeight();
    const InpaintJob job =
        OverlayToMask(overlay.value_or(OverlayRows{}), width, height, m_pMask.get(), m_nPatchSize,
                      m_bSmoothSeam != 0, target,
                      [](const std::string& message) { ShowMessageBox(QString::fromStdString(message)); });
    // The step is taken before the engine runs: a Paint without one could
    // not be undone.
    if (!m_pCanvas->SaveUndoState(std::move(*maskBefore), JobReach(job) | m_pCanvas->StrokesRect())) {
        maskBefore->SwapWith(m_pMask.get());
        ShowMessageBox(QStringLiteral("Not enough memory to paint this picture."));
        return;
    }
    FIBITMAP* const fullDepth = m_pCanvas->FullDepthImage();
    std::vector<uint8_t> filled = fullDepth != nullptr ? HolePixels(m_pMask.get()) : std::vector<uint8_t>();
    InpaintRegion(job);
    if (fullDepth != nullptr) {
        KeepFilledPixels(filled, m_pMask.get());
        ComposeFullDepth(fullDepth, target, filled);
    }
    m_pCanvas->KeepUndoState();
    m_pCanvas->MarkChanged();

    if (cmyk)
        m_pCanvas->ConvertCmykImage();
    m_pCanvas->ShowPaintResult(JobReach(job));
}

void CViewerDlg::UndoCommand()
{
    if (g_bImageJustOpened)
        return;
    m_pCanvas->RestoreUndoState(m_pMask.get());
}

void CViewerDlg::RedoCommand()
{
    m_pCanvas->RedoState(m_pMask.get());
}
