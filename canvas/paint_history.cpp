// SPDX-License-Identifier: MIT
#include "canvas/paint_history.h"

#include "canvas/paint_reach.h"

#include <algorithm>
#include <new>
#include <utility>

std::optional<CPaintStep> CPaintStep::Take(const PaintLayers& layers, const QRect& rect, CMaskRuns&& maskBefore)
{
    try {
        CPaintStep step;
        step.m_rect = rect;
        if (layers.overlay)
            step.m_strokes = CLayerRegion::Of(*layers.overlay, rect);
        step.m_working = CLayerRegion::Of(layers.working, rect);
        step.m_cmyk = CLayerRegion::Of(layers.cmyk, rect);
        step.m_fullDepth = CLayerRegion::Of(layers.fullDepth, rect);
        step.m_mask = std::move(maskBefore);
        if (layers.revision)
            step.m_nRevision = *layers.revision;
        return step;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::optional<CPaintStep> CPaintStep::TakeStroke(const QImage& overlayBefore, const QRect& rect)
{
    try {
        CPaintStep step;
        step.m_bStroke = true;
        step.m_rect = rect & overlayBefore.rect();
        step.m_strokes = CLayerRegion::Of(overlayBefore, step.m_rect);
        return step;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

void CPaintStep::SwapStrokes(QImage& overlay)
{
    m_strokes.SwapWith(overlay);
}

void CPaintStep::SwapPicture(const PaintLayers& layers)
{
    m_working.SwapWith(layers.working);
    m_cmyk.SwapWith(layers.cmyk);
    m_fullDepth.SwapWith(layers.fullDepth);
    if (layers.revision)
        std::swap(m_nRevision, *layers.revision);
    // Without room for the runs the mask keeps its codes; the next Paint
    // rewrites them all anyway.
    try {
        m_mask.SwapWith(layers.mask);
    } catch (const std::bad_alloc&) {
    }
}

void CPaintStep::PutStrokes(QImage& overlay) const
{
    m_strokes.CopyInto(overlay);
}

std::size_t CPaintStep::Bytes() const
{
    return sizeof(CPaintStep) + m_strokes.Bytes() + m_working.Bytes() + m_cmyk.Bytes() + m_fullDepth.Bytes() + m_mask.Bytes();
}

void CPaintHistory::Push(CPaintStep step)
{
    while (m_steps.size() > m_nDone) {
        m_nBytes -= m_steps.back().Bytes();
        m_steps.pop_back();
    }
    m_nBytes += step.Bytes();
    m_steps.push_back(std::move(step));
    while (m_steps.size() > 1 && (m_steps.size() > MaxSteps || m_nBytes > MaxBytes)) {
        m_nBytes -= m_steps.front().Bytes();
        m_steps.pop_front();
    }
    m_nDone = m_steps.size();
}

QRect CPaintHistory::SwapStep(CPaintStep& step, const PaintLayers& layers)
{
    if (step.IsStroke()) {
        if (layers.overlay)
            step.SwapStrokes(*layers.overlay);
        return step.Rect();
    }
    m_nBytes -= step.Bytes();
    step.SwapPicture(layers);
    m_nBytes += step.Bytes();
    QRect changed = step.Rect();
    if (layers.overlay) {
        const QRect strokes = MarkedBounds(*layers.overlay, layers.marked.value_or(layers.overlay->rect()));
        if (!strokes.isEmpty()) {
            QImage& overlay = *layers.overlay;
            const QRgb black = qRgb(0, 0, 0);
            for (int y = strokes.top(); y <= strokes.bottom(); ++y) {
                auto* row = reinterpret_cast<QRgb*>(overlay.scanLine(y));
                std::fill(row + strokes.left(), row + strokes.right() + 1, black);
            }
        }
        changed |= strokes;
    }
    return changed;
}

bool CPaintHistory::Undo(const PaintLayers& layers)
{
    if (!CanUndo())
        return false;
    CPaintStep& step = m_steps[--m_nDone];
    m_rcLast = SwapStep(step, layers);
    if (layers.overlay && !step.IsStroke())
        step.PutStrokes(*layers.overlay);
    return true;
}

bool CPaintHistory::Redo(const PaintLayers& layers)
{
    if (!CanRedo())
        return false;
    m_rcLast = SwapStep(m_steps[m_nDone++], layers);
    return true;
}

void CPaintHistory::Clear()
{
    m_steps.clear();
    m_nDone = 0;
    m_nBytes = 0;
    m_rcLast = QRect();
}
