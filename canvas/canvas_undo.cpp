// SPDX-License-Identifier: MIT
// The single undo step of the canvas.
#include "canvas/canvas_pane.h"

namespace {

// A clone, or nothing when there is nothing to clone or no memory for it.
BitmapPtr CloneOf(FIBITMAP* bitmap)
{
    return BitmapPtr(bitmap ? FreeImage_Clone(bitmap) : nullptr);
}

} // namespace

void CCanvasPane::SaveUndoState()
{
    // Layers share their pixels until one of them is drawn on.
    m_imgSavedOverlay = m_imgOverlay;
    m_imgSavedDisplay = m_imgDisplay;
    if (m_nColorType == FIC_CMYK)
        m_pSavedCmykImage = CloneOf(m_pCmykImage.get());
    m_pSavedWorkingImage = CloneOf(m_pWorkingImage.get());
    m_pSavedFullDepthImage = CloneOf(m_pFullDepthImage.get());
    m_nSavedStateRevision = m_nRevision;
    RenderResult();
}

void CCanvasPane::RestoreUndoState()
{
    m_imgOverlay = m_imgSavedOverlay;
    m_imgDisplay = m_imgSavedDisplay;
    // An image is replaced only by a clone that exists, so that running out
    // of memory never loses the picture being edited.
    if (m_nColorType == FIC_CMYK) {
        if (BitmapPtr cmyk = CloneOf(m_pSavedCmykImage.get()))
            m_pCmykImage = std::move(cmyk);
    }
    if (BitmapPtr fullDepth = CloneOf(m_pSavedFullDepthImage.get()))
        m_pFullDepthImage = std::move(fullDepth);
    if (BitmapPtr working = CloneOf(m_pSavedWorkingImage.get())) {
        m_pWorkingImage = std::move(working);
        SetRevision(m_nSavedStateRevision);
    }
    RenderResult();
    update();
}
