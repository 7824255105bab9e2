// SPDX-License-Identifier: MIT
// Paint: the user's strokes become the mask, the chosen fill method fills
// the hole, and the canvas shows the result. Undo and Redo walk through the
// history of Paints and strokes.
#include "app/viewer_dialog.h"

#include "app/paint_run.h"
#include "controls/wait_cursor.h"
#include "canvas/canvas_pane.h"
#include "canvas/overlay_capture.h"
#include "canvas/paint_reach.h"
#include "controls/message_box.h"
#include "controls/progress_box.h"
#include "mask/filled_pixels.h"
#include "mask/overlay_to_mask.h"
#include "picture/full_depth.h"

#include <new>
#include <utility>

namespace {

// Forgets the running job however the run ends.
struct RunningPaint {
    CPaintRun*& slot;
    ~RunningPaint() { slot = nullptr; }
};

// Why marked pixels stayed as they were after a Paint.
QString UnfilledText(long long pixels, bool outlined)
{
    const QString count = pixels == 1 ? QStringLiteral("1 marked pixel was left unfilled")
                                      : QStringLiteral("%1 marked pixels were left unfilled").arg(pixels);
    if (outlined)
        return count + QStringLiteral(": texture may only come from inside the green outlines, and these marks lie "
                                      "outside every outline. Draw an outline around them as well to fill them.");
    return count + QStringLiteral(": no texture could be found for them.");
}

} // namespace

bool CViewerDlg::RunPaintJob(const InpaintJob& job, std::vector<CopiedPixel>* copied, GuideMap guides)
{
    CPaintRun run(job, m_fillMethod, copied, std::move(guides));
    m_pRunningPaint = &run;
    const RunningPaint forget{m_pRunningPaint};
    const bool cancelled = FollowJob(QStringLiteral("Painting..."), run, this);
    // A close of the window may have asked the job to stop as well.
    const InpaintOutcome outcome = run.Outcome();
    return !cancelled && !run.CancelRequested() && outcome == InpaintOutcome::Filled;
}

void CViewerDlg::PaintCommand()
{
    if (PaintRunning())
        return;
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
    const bool outlined = m_pCanvas->HasStrokeOf(OutlineRgb);

    // Outside the strokes' rectangle the overlay is black: only that part is read.
    const std::optional<OverlayRows> overlay = OverlayRowsOf(m_pCanvas->OverlayLayer(), m_pCanvas->StrokesRect());
    if (!overlay)
        ShowMessageBox(QStringLiteral("GetDIBits() failed."));
    const int width = m_pCanvas->PictureWidth();
    const int height = m_pCanvas->PictureHeight();
    GuideMap guides;
    const InpaintJob job =
        OverlayToMask(overlay.value_or(OverlayRows{}), width, height, m_pMask.get(), m_nPatchSize,
                      m_bSmoothSeam != 0, target,
                      [](const std::string& message) { ShowMessageBox(QString::fromStdString(message)); }, &guides);
    // The step is taken before the engine runs: a Paint without one could
    // not be undone.
    if (!m_pCanvas->SaveUndoState(std::move(*maskBefore), JobReach(job) | m_pCanvas->StrokesRect())) {
        maskBefore->SwapWith(m_pMask.get());
        ShowMessageBox(QStringLiteral("Not enough memory to paint this picture."));
        return;
    }
    FIBITMAP* const fullDepth = m_pCanvas->FullDepthImage();
    std::vector<uint8_t> filled = fullDepth != nullptr ? HolePixels(m_pMask.get()) : std::vector<uint8_t>();
    std::vector<CopiedPixel> copied;
    bool finished = false;
    try {
        finished = RunPaintJob(job, fullDepth != nullptr ? &copied : nullptr, std::move(guides));
    } catch (const std::bad_alloc&) {
        ShowMessageBox(QStringLiteral("Not enough memory to paint this picture."));
    }
    // A cancelled Paint leaves everything as it was before it, history included.
    if (!finished) {
        m_pCanvas->DropPaint(m_pMask.get());
        if (std::exchange(m_bCloseAfterPaint, false))
            close();
        return;
    }
    const long long unfilled = overlay ? CountUnfilledMarks(*overlay, m_pMask.get()) : 0;
    if (fullDepth != nullptr) {
        KeepFilledPixels(filled, m_pMask.get());
        try {
            ComposeFullDepth(fullDepth, target, filled, PixelCopiesOf(copied));
        } catch (const std::bad_alloc&) {
            // It writes nothing before it has its room; without it the
            // filled pixels are widened from 8 bits, as after patches.
            ComposeFullDepth(fullDepth, target, filled);
        }
    }
    m_pCanvas->KeepUndoState();
    m_pCanvas->MarkChanged();

    if (cmyk)
        m_pCanvas->ConvertCmykImage();
    m_pCanvas->ShowPaintResult(JobReach(job));
    if (unfilled > 0)
        ShowMessageBox(UnfilledText(unfilled, outlined));
}

void CViewerDlg::UndoCommand()
{
    if (PaintRunning())
        return;
    m_pCanvas->RestoreUndoState(m_pMask.get());
}

void CViewerDlg::RedoCommand()
{
    if (PaintRunning())
        return;
    m_pCanvas->RedoState(m_pMask.get());
}
