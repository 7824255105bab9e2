// SPDX-License-Identifier: MIT
// The canvas's side of the Paint command: the job made from the strokes,
// and the result shown.
#include "canvas/canvas_pane.h"

#include "canvas/overlay_capture.h"
#include "canvas/paint_reach.h"
#include "controls/wait_cursor.h"

#include <new>
#include <utility>

PaintStart CCanvasPane::StartPaint(FIBITMAP* mask, int patchSize, bool smoothSeam, const UserMessageHook& report,
                                   CanvasPaintJob& paint)
{
    if (!HasPicture())
        return PaintStart::NoPicture;
    // Without a hole there is nothing to fill; the strokes and Undo stay.
    if (!HasHoleStroke())
        return PaintStart::NothingMarked;
    FIBITMAP* const target = m_nColorType == FIC_CMYK ? m_pCmykImage.get() : m_pWorkingImage.get();
    // Only a picture too large for the memory left lacks these; painting
    // without them would write through null bitmaps.
    if (mask == nullptr || target == nullptr)
        return PaintStart::NoMemory;
    const CWaitCursor waitCursor;
    std::optional<CMaskRuns> maskBefore;
    try {
        maskBefore = CMaskRuns::Of(mask);
    } catch (const std::bad_alloc&) {
        return PaintStart::NoMemory;
    }
    paint.outlined = HasStrokeOf(OutlineRgb);
    // Outside the strokes' rectangle the overlay is black: only that part is read.
    paint.overlay = OverlayRowsOf(m_imgOverlay, m_rcStrokes);
    if (!paint.overlay)
        report("GetDIBits() failed.");
    paint.job = OverlayToMask(paint.overlay.value_or(OverlayRows{}), PictureWidth(), PictureHeight(), mask, patchSize,
                              smoothSeam, target, report, &paint.guides);
    paint.fullDepth = m_pFullDepthImage.get();
    // The step is taken before the engine runs: a Paint without one could
    // not be undone.
    if (!SaveUndoState(std::move(*maskBefore), JobReach(paint.job) | m_rcStrokes)) {
        maskBefore->SwapWith(mask);
        return PaintStart::NoMemory;
    }
    return PaintStart::Ready;
}

void CCanvasPane::FinishPaint(const CanvasPaintJob& paint)
{
    KeepUndoState();
    MarkChanged();
    if (m_nColorType == FIC_CMYK)
        ConvertCmykImage();
    ShowPaintResult(JobReach(paint.job));
}
