// SPDX-License-Identifier: MIT
// Zoom steps: 1.0 above 1, 0.1 below, at most 7.0; zooming out ends in the
// fitting zoom, and the view's centre stays on the same picture point.
#include "canvas/preview_pane.h"

#include "kernels/rounding.h"

#include <algorithm>

namespace {

constexpr double MaxZoom = 7.0;

} // namespace

void CPreviewPane::KeepCentreAt(double ratio)
{
    const int cw = m_rcClient.width();
    const int ch = m_rcClient.height();
    const QPoint anchor = m_zoomAnchor.value_or(QPoint(cw / 2, ch / 2));
    // A picture narrower than the view is centred: its offset is no scroll.
    const double oldZoom = m_dZoom / ratio;
    const int left = m_zoomAnchor ? std::max(0, TruncToInt((cw - m_nWidth * oldZoom) * 0.5)) : 0;
    const int top = m_zoomAnchor ? std::max(0, TruncToInt((ch - m_nHeight * oldZoom) * 0.5)) : 0;
    m_nScrollX = TruncToInt((m_nScrollX + anchor.x() - left) * ratio - anchor.x());
    m_nScrollY = TruncToInt((m_nScrollY + anchor.y() - top) * ratio - anchor.y());
}

void CPreviewPane::CommitZoomedScroll()
{
    m_nRequestedX = m_nScrollX;
    m_nRequestedY = m_nScrollY;
    SetScrollPosition(m_nScrollX, m_nScrollY);
    UpdateScrollBars();
}

double CPreviewPane::ZoomToFit()
{
    SetScrollPosition(0, 0);
    m_nFitMode = 1;
    UpdateScrollBars();
    return m_dZoom;
}

double CPreviewPane::ZoomIn()
{
    const double startZoom = m_dZoom;
    RefreshClientRect();
    const int cw = m_rcClient.width();
    const int ch = m_rcClient.height();
    if (m_nWidth <= cw && m_nHeight <= ch) {
        // A picture that fits at 1:1 first grows to fill the view.
        if (m_dZoom <= 1.0 && m_nFitMode == 0) {
            ClampScroll();
            SetScrollPosition(m_nScrollX, m_nScrollY);
            return ZoomToFit();
        }
        if (m_dZoom > 1.0 && m_nFitMode == 1)
            m_dZoom = 1.0;
    }
    if (m_dZoom >= 1.0) {
        m_dZoom += 1.0;
    } else {
        m_dZoom += 0.1;
        if (m_dZoom > 1.0)
            m_dZoom = 1.0;
    }
    if (m_dZoom > MaxZoom)
        m_dZoom = MaxZoom;

    m_nFitMode = 0;
    KeepCentreAt(m_dZoom / startZoom);
    ClampScroll();
    CommitZoomedScroll();
    return m_dZoom;
}

double CPreviewPane::ZoomOut()
{
    const double startZoom = m_dZoom;
    RefreshClientRect();
    const int cw = m_rcClient.width();
    const int ch = m_rcClient.height();
    m_nFitMode = 0;
    const bool belowOne = m_dZoom <= 1.0;
    m_dZoom -= belowOne ? 0.1 : 1.0;
    // A zoom of zero or less comes only from an empty view or from a fitting
    // zoom under 0.1: the fit takes over instead.
    if (m_dZoom <= 0.0) {
        m_dZoom = startZoom;
        return ZoomToFit();
    }

    KeepCentreAt(m_dZoom / startZoom);
    m_nScrollY = TruncToInt(RoundToInt(m_nScrollY / m_dZoom) * m_dZoom);
    m_nScrollX = TruncToInt(RoundToInt(m_nScrollX / m_dZoom) * m_dZoom);
    if (belowOne && m_nWidth * m_dZoom <= cw && m_nHeight * m_dZoom <= ch)
        return ZoomToFit();
    CommitZoomedScroll();
    return m_dZoom;
}
