// SPDX-License-Identifier: MIT
// Paint: the user's strokes become the mask, the chosen fill method fills
// the hole, and the canvas shows the result. Undo and Redo walk through the
// history of Paints and strokes.
#include "app/viewer_dialog.h"

#include "app/paint_run.h"
#include "canvas/canvas_pane.h"
#include "controls/message_box.h"
#include "controls/progress_box.h"
#include "controls/wait_cursor.h"
#include "mask/filled_pixels.h"

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

bool CViewerDlg::RunPaintJob(const InpaintJob& job, FIBITMAP* fullDepth, GuideMap guides)
{
    CPaintRun run(job, m_fillMethod, fullDepth, std::move(guides));
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
    CanvasPaintJob paint;
    const PaintStart start = m_pCanvas->StartPaint(
        m_pMask.get(), m_nPatchSize, m_bSmoothSeam != 0,
        [](const std::string& message) { ShowMessageBox(QString::fromStdString(message)); }, paint);
    switch (start) {
    case PaintStart::Ready: break;
    case PaintStart::NoPicture: ShowMessageBox(QStringLiteral("No image!")); return;
    case PaintStart::NothingMarked: ShowMessageBox(QStringLiteral("Nothing is marked for removal.")); return;
    case PaintStart::NoMemory: ShowMessageBox(QStringLiteral("Not enough memory to paint this picture.")); return;
    }
    const CWaitCursor waitCursor;
    bool finished = false;
    try {
        finished = RunPaintJob(paint.job, paint.fullDepth, std::move(paint.guides));
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
    const long long unfilled = paint.overlay ? CountUnfilledMarks(*paint.overlay, m_pMask.get()) : 0;
    m_pCanvas->FinishPaint(paint);
    if (unfilled > 0)
        ShowMessageBox(UnfilledText(unfilled, paint.outlined));
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
