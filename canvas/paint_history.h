// SPDX-License-Identifier: MIT
// The steps that Undo and Redo walk through: Paint commands and strokes, in
// the order they were made. A Paint step keeps only the rectangle a Paint
// could change of the picture, the strokes the Paint consumed and the mask as
// runs; a stroke step keeps the strokes of the rectangle the stroke changed,
// as they were before it. Undoing swaps the bytes back, so the same step then
// holds what Redo needs; the display is not kept, since it is always the
// picture with the strokes on top.
#pragma once

#include "canvas/layer_region.h"
#include "canvas/mask_runs.h"

#include <FreeImage.h>
#include <QImage>
#include <QRect>

#include <cstddef>
#include <deque>
#include <optional>

// What a Paint changes; absent bitmaps are skipped.
struct PaintLayers {
    QImage* overlay = nullptr;
    // When set, every marked pixel of the overlay lies inside it.
    std::optional<QRect> marked = std::nullopt;
    FIBITMAP* working = nullptr;
    FIBITMAP* cmyk = nullptr;
    FIBITMAP* fullDepth = nullptr;
    FIBITMAP* mask = nullptr;
    // The number of the picture's state, which tells whether it is saved.
    int* revision = nullptr;
};

// The state of the layers in one rectangle, taken before a Paint.
class CPaintStep {
public:
    // The picture and strokes inside rect, which must hold every stroke,
    // with the mask as it was before the Paint rewrote it; empty when there
    // is no memory for the copy, and maskBefore is then left as it was.
    static std::optional<CPaintStep> Take(const PaintLayers& layers, const QRect& rect, CMaskRuns&& maskBefore);
    // The strokes inside rect of the overlay as it was before a stroke
    // changed them there; empty when there is no memory for the copy.
    static std::optional<CPaintStep> TakeStroke(const QImage& overlayBefore, const QRect& rect);
    bool IsStroke() const { return m_bStroke; }
    // A stroke step's strokes and the overlay's exchange places.
    void SwapStrokes(QImage& overlay);
    // Puts the kept picture and mask back and keeps the layers' instead;
    // the strokes are left alone.
    void SwapPicture(const PaintLayers& layers);
    // Writes the strokes taken into the overlay.
    void PutStrokes(QImage& overlay) const;

    std::size_t Bytes() const;
    const QRect& Rect() const { return m_rect; }

private:
    QRect m_rect;
    CLayerRegion m_strokes;
    CLayerRegion m_working;
    CLayerRegion m_cmyk;
    CLayerRegion m_fullDepth;
    CMaskRuns m_mask;
    int m_nRevision = 0;
    bool m_bStroke = false;
};

class CPaintHistory {
public:
    static constexpr std::size_t MaxSteps = 50;
    static constexpr std::size_t MaxBytes = std::size_t{512} << 20;

    // Adds the step of a finished Paint or stroke: the steps that Redo would have
    // replayed are dropped, then the oldest ones while there are more than
    // MaxSteps or more than MaxBytes. The newest step always stays.
    void Push(CPaintStep step);
    // Undo brings back the picture and strokes from before the last Paint
    // or stroke done, Redo the state after the next one (a Paint leaves no
    // strokes; strokes no step holds are dropped). Each returns false and
    // changes nothing when there is no such step.
    bool Undo(const PaintLayers& layers);
    bool Redo(const PaintLayers& layers);
    void Clear();

    bool CanUndo() const { return m_nDone > 0; }
    bool CanRedo() const { return m_nDone < m_steps.size(); }
    std::size_t Steps() const { return m_steps.size(); }
    std::size_t Bytes() const { return m_nBytes; }
    // The rectangle of picture and strokes the last Undo or Redo changed.
    const QRect& LastRect() const { return m_rcLast; }

private:
    // Swaps the step's picture, drops the strokes and returns what changed;
    // a stroke step swaps its strokes alone.
    QRect SwapStep(CPaintStep& step, const PaintLayers& layers);

    std::deque<CPaintStep> m_steps;
    // Steps [0, m_nDone) are undoable, the rest redoable.
    std::size_t m_nDone = 0;
    std::size_t m_nBytes = 0;
    QRect m_rcLast;
};
