// SPDX-License-Identifier: MIT
// Zoom steps: 1.0 above 1, 0.1 below, at most 7.0. Both directions stop at
// 1:1 and at the fitting zoom on their way, zooming out ends at the smaller
// of the two, and the view's centre stays on the same picture point.
#include "canvas/preview_pane.h"

#include "kernels/rounding.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double MaxZoom = 7.0;
// Zooms this close count as the same stop: steps of 0.1 add rounding errors.
constexpr double Slack = 1e-9;

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

std::optional<double> CPreviewPane::FitZoom() const
{
    const QRect inner = rect().adjusted(FrameWidth, FrameWidth, -FrameWidth, -FrameWidth);
    if (!HasPicture() || m_nWidth <= 0 || m_nHeight <= 0 || inner.width() <= 0 || inner.height() <= 0)
        return std::nullopt;
    return std::min(static_cast<double>(inner.width()) / m_nWidth, static_cast<double>(inner.height()) / m_nHeight);
}

double CPreviewPane::ZoomIn()
{
    const double startZoom = m_dZoom;
    RefreshClientRect();
    const double next = std::min(MaxZoom, m_dZoom >= 1.0 - Slack ? std::floor(m_dZoom + Slack) + 1.0
                                                                : std::min(m_dZoom + 0.1, 1.0));
    // The fitting zoom is a stop on the way up.
    const std::optional<double> fit = FitZoom();
    if (fit && *fit > m_dZoom + Slack && *fit <= next + Slack)
        return ZoomToFit();
    m_dZoom = next;
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
    // Above 1:1 the steps are whole zooms, and 1:1 itself is one of them.
    const double next = m_dZoom > 1.0 + Slack ? std::ceil(m_dZoom - Slack) - 1.0 : m_dZoom - 0.1;
    const std::optional<double> fit = FitZoom();
    if (!fit) {
        // An empty view has no fit to stop at; it keeps tracking the view.
        if (next > 0.0)
            m_dZoom = next;
        return ZoomToFit();
    }
    // The fitting zoom is a stop on the way down, and the last one unless
    // 1:1 is smaller: a smaller picture is never made smaller than that.
    if (*fit < m_dZoom - Slack && *fit >= next - Slack)
        return ZoomToFit();
    const double lowest = std::min(*fit, 1.0);
    if (next < lowest - Slack)
        return m_nFitMode == 1 ? ZoomToFit() : m_dZoom;
    m_dZoom = next;
    m_nFitMode = 0;
    KeepCentreAt(m_dZoom / startZoom);
    m_nScrollY = TruncToInt(RoundToInt(m_nScrollY / m_dZoom) * m_dZoom);
    m_nScrollX = TruncToInt(RoundToInt(m_nScrollX / m_dZoom) * m_dZoom);
    CommitZoomedScroll();
    return m_dZoom;
}
