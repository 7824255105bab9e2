// SPDX-License-Identifier: MIT
// The canvas's side of the Paint history.
#include "canvas/canvas_pane.h"

#include "canvas/layer_render.h"

#include <utility>

PaintLayers CCanvasPane::Layers(FIBITMAP* mask)
{
    PaintLayers layers;
    layers.overlay = &m_imgOverlay;
    layers.marked = m_rcStrokes;
    layers.working = m_pWorkingImage.get();
    layers.cmyk = m_nColorType == FIC_CMYK ? m_pCmykImage.get() : nullptr;
    layers.fullDepth = m_pFullDepthImage.get();
    layers.mask = mask;
    layers.revision = &m_nRevision;
    return layers;
}

bool CCanvasPane::SaveUndoState(CMaskRuns&& maskBefore, const QRect& rect)
{
    m_pendingStep = CPaintStep::Take(Layers(nullptr), rect, std::move(maskBefore));
    return m_pendingStep.has_value();
}

void CCanvasPane::KeepUndoState()
{
    if (m_pendingStep)
        m_history.Push(std::move(*m_pendingStep));
    m_pendingStep.reset();
}

void CCanvasPane::DropPaint(FIBITMAP* mask)
{
    if (!m_pendingStep)
        return;
    m_pendingStep->SwapPicture(Layers(mask));
    const QRect rect = m_pendingStep->Rect();
    m_pendingStep.reset();
    AfterHistoryStep(rect);
}

bool CCanvasPane::RestoreUndoState(FIBITMAP* mask)
{
    if (!m_history.Undo(Layers(mask)))
        return false;
    AfterHistoryStep(m_history.LastRect());
    return true;
}

bool CCanvasPane::RedoState(FIBITMAP* mask)
{
    if (!m_history.Redo(Layers(mask)))
        return false;
    AfterHistoryStep(m_history.LastRect());
    return true;
}

void CCanvasPane::AfterHistoryStep(const QRect& rect)
{
    if (m_pWorkingImage) {
        RenderBitmapIntoLayer(m_pWorkingImage.get(), m_imgResult, rect);
        RenderBitmapIntoLayer(m_pWorkingImage.get(), m_imgDisplay, rect);
    }
    DrawStrokesOnto(m_imgOverlay, m_imgDisplay, rect);
    // The step may have put strokes back inside rect.
    m_rcStrokes |= rect;
    update();
    emit RevisionChanged();
}
