// SPDX-License-Identifier: MIT
// The pane's scroll model: positions in screen pixels into the zoomed
// picture, snapped to whole picture pixels and kept inside the picture.
#include "canvas/preview_pane.h"

#include "kernels/rounding.h"

#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace {

// Windows-style bar ranges: positions 0 to maximum, of which a page is shown.
void SetRangeAndPage(QScrollBar* bar, int maximum, int page)
{
    bar->setRange(0, std::max(0, maximum - page + 1));
    bar->setPageStep(std::max(1, page));
}

} // namespace

void CPreviewPane::SetScrollPosition(int x, int y)
{
    m_nScrollX = x;
    m_nScrollY = y;
    m_pHorizontalBar->setValue(x);
    m_pVerticalBar->setValue(y);
}

void CPreviewPane::ClampScroll()
{
    const double shownWidth = m_nWidth * m_dZoom;
    const double shownHeight = m_nHeight * m_dZoom;
    if (m_nScrollX > shownWidth - m_rcClient.width())
        m_nScrollX = TruncToInt(shownWidth - m_rcClient.width());
    if (m_nScrollY > shownHeight - m_rcClient.height())
        m_nScrollY = TruncToInt(shownHeight - m_rcClient.height());
    m_nScrollX = std::max(0, m_nScrollX);
    m_nScrollY = std::max(0, m_nScrollY);
}

void CPreviewPane::UpdateScrollBars()
{
    if (m_strFileName.isEmpty() || m_nFitMode == 1) {
        m_pHorizontalBar->hide();
        m_pVerticalBar->hide();
        PlaceScrollBars();
        RefreshClientRect();
    } else {
        const QRect inner = rect().adjusted(FrameWidth, FrameWidth, -FrameWidth, -FrameWidth);
        const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_pHorizontalBar);
        const double shownWidth = m_nWidth * m_dZoom;
        const double shownHeight = m_nHeight * m_dZoom;
        bool horizontal = inner.width() < shownWidth;
        bool vertical = inner.height() < shownHeight;
        // Each bar takes room from the other direction's view.
        vertical = vertical || (horizontal && inner.height() - extent < shownHeight);
        horizontal = horizontal || (vertical && inner.width() - extent < shownWidth);
        m_pHorizontalBar->setVisible(horizontal);
        m_pVerticalBar->setVisible(vertical);
        PlaceScrollBars();
        RefreshClientRect();

        SetRangeAndPage(m_pHorizontalBar, TruncToInt(shownWidth - 1.0), m_rcClient.width());
        SetRangeAndPage(m_pVerticalBar, TruncToInt(shownHeight - 1.0), m_rcClient.height());
        ClampScroll();
        m_pHorizontalBar->setValue(m_nScrollX);
        m_pVerticalBar->setValue(m_nScrollY);
    }
    // The view is redrawn at once, so a fitting zoom is known on return.
    ApplyFitZoom();
    update();
}

void CPreviewPane::ScrollTo(int x, int y)
{
    if (m_nFitMode == 1 || !HasPicture())
        return;
    m_nRequestedX = x;
    m_nRequestedY = y;
    // Scroll by whole picture pixels.
    m_nScrollX = TruncToInt(RoundToInt(x / m_dZoom) * m_dZoom);
    m_nScrollY = TruncToInt(RoundToInt(y / m_dZoom) * m_dZoom);
    UpdateScrollBars();
}

void CPreviewPane::OnScrollAction(QScrollBar* bar, int action)
{
    const bool horizontal = bar == m_pHorizontalBar;
    int& requested = horizontal ? m_nRequestedX : m_nRequestedY;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
    case QAbstractSlider::SliderToMinimum:
        requested -= 1;
        break;
    case QAbstractSlider::SliderPageStepSub:
        requested -= 20;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
    case QAbstractSlider::SliderToMaximum:
        requested += 1;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        requested += 20;
        break;
    case QAbstractSlider::SliderMove:
        requested = bar->sliderPosition();
        break;
    default:
        break;
    }
    // Scroll by whole picture pixels.
    const int position = TruncToInt(RoundToInt(requested / m_dZoom) * m_dZoom);
    (horizontal ? m_nScrollX : m_nScrollY) = position;
    // The bar applies this position once the action is over.
    bar->setSliderPosition(position);
    UpdateScrollBars();
}
