// SPDX-License-Identifier: MIT
#include "canvas/paint_reach.h"

#include "engine/work_window.h"

#include <algorithm>

QRect JobReach(const InpaintJob& job)
{
    if (job.scanMinX > job.scanMaxX || job.scanMinY > job.scanMaxY)
        return {};
    const long long margin = WindowMargin(ClampPatchSize(job.patchSize), ClampSearchGap(job.searchGap));
    const auto within = [](long long value, int limit) {
        return static_cast<int>(std::clamp<long long>(value, 0, std::max(0, limit - 1)));
    };
    // Job lines count from the bottom.
    const int left = within(job.scanMinX - margin, job.imageWidth);
    const int right = within(job.scanMaxX + margin, job.imageWidth);
    const int top = within(job.imageHeight - 1 - (job.scanMaxY + margin), job.imageHeight);
    const int bottom = within(job.imageHeight - 1 - (job.scanMinY - margin), job.imageHeight);
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QRect MarkedBounds(const QImage& overlay)
{
    return MarkedBounds(overlay, overlay.rect());
}

QRect MarkedBounds(const QImage& overlay, const QRect& within)
{
    if (overlay.isNull() || overlay.format() != QImage::Format_RGB32)
        return {};
    const QRect area = within & overlay.rect();
    if (area.isEmpty())
        return {};
    const QRgb black = qRgb(0, 0, 0);
    const int end = area.right() + 1;
    int left = end;
    int right = -1;
    int top = -1;
    int bottom = -1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(overlay.constScanLine(y));
        int first = area.left();
        while (first < end && row[first] == black)
            ++first;
        if (first == end)
            continue;
        int last = end - 1;
        while (row[last] == black)
            --last;
        if (top < 0)
            top = y;
        bottom = y;
        left = std::min(left, first);
        right = std::max(right, last);
    }
    if (top < 0)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}
