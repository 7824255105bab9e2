// SPDX-License-Identifier: MIT
#include "canvas/overlay_capture.h"

#include "kernels/parallel_for.h"
#include "mask/overlay_buffer.h"

#include <new>

std::optional<std::vector<uint8_t>> CaptureOverlay(const QImage& overlay)
{
    // Canvas layers are always RGB32.
    if (overlay.isNull() || overlay.format() != QImage::Format_RGB32)
        return std::nullopt;
    const int width = overlay.width();
    const int height = overlay.height();
    const std::size_t stride = OverlayRowStride(width);
    std::vector<uint8_t> buffer;
    try {
        buffer.assign(stride * static_cast<std::size_t>(height), 0);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    uint8_t* const rows = buffer.data();
    ParallelFor(0, height, [&overlay, rows, stride, width](int y) {
        const auto* source = reinterpret_cast<const QRgb*>(overlay.constScanLine(y));
        uint8_t* row = rows + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<uint8_t>(qBlue(source[x]));
            row[3 * x + 1] = static_cast<uint8_t>(qGreen(source[x]));
            row[3 * x + 2] = static_cast<uint8_t>(qRed(source[x]));
        }
    }, width);
    return buffer;
}
