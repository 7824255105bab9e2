// SPDX-License-Identifier: MIT
#include "canvas/layer_region.h"

#include <algorithm>
#include <cstring>

namespace {

uint8_t* QImageRow(QImage& layer, int y)
{
    return layer.scanLine(y);
}

// FreeImage keeps the bottom line first.
uint8_t* BitmapRow(FIBITMAP* bitmap, int height, int y)
{
    return FreeImage_GetScanLine(bitmap, height - 1 - y);
}

} // namespace

std::size_t CLayerRegion::FirstByte() const
{
    return static_cast<std::size_t>(m_rect.left()) * m_shape.bitsPerPixel / 8;
}

std::size_t CLayerRegion::LastByte() const
{
    return (static_cast<std::size_t>(m_rect.right() + 1) * m_shape.bitsPerPixel + 7) / 8;
}

template <typename RowOf> void CLayerRegion::Copy(RowOf rowOf)
{
    if (m_rect.isEmpty())
        return;
    const std::size_t first = FirstByte();
    const std::size_t span = LastByte() - first;
    m_bytes.resize(span * static_cast<std::size_t>(m_rect.height()));
    uint8_t* kept = m_bytes.data();
    for (int y = m_rect.top(); y <= m_rect.bottom(); ++y, kept += span)
        std::memcpy(kept, rowOf(y) + first, span);
}

template <typename RowOf> void CLayerRegion::Swap(const Shape& shape, RowOf rowOf)
{
    if (shape != m_shape || m_rect.isEmpty())
        return;
    const std::size_t first = FirstByte();
    const std::size_t span = LastByte() - first;
    uint8_t* kept = m_bytes.data();
    for (int y = m_rect.top(); y <= m_rect.bottom(); ++y, kept += span)
        std::swap_ranges(kept, kept + span, rowOf(y) + first);
}

template <typename RowOf> void CLayerRegion::Put(const Shape& shape, RowOf rowOf) const
{
    if (shape != m_shape || m_rect.isEmpty())
        return;
    const std::size_t first = FirstByte();
    const std::size_t span = LastByte() - first;
    const uint8_t* kept = m_bytes.data();
    for (int y = m_rect.top(); y <= m_rect.bottom(); ++y, kept += span)
        std::memcpy(rowOf(y) + first, kept, span);
}

CLayerRegion CLayerRegion::Of(const QImage& layer, const QRect& rect)
{
    CLayerRegion region;
    region.m_shape = {layer.width(), layer.height(), layer.depth()};
    region.m_rect = rect & layer.rect();
    region.Copy([&layer](int y) { return layer.constScanLine(y); });
    return region;
}

CLayerRegion CLayerRegion::Of(FIBITMAP* bitmap, const QRect& rect)
{
    CLayerRegion region;
    if (!bitmap)
        return region;
    const int width = static_cast<int>(FreeImage_GetWidth(bitmap));
    const int height = static_cast<int>(FreeImage_GetHeight(bitmap));
    region.m_shape = {width, height, static_cast<int>(FreeImage_GetBPP(bitmap))};
    region.m_rect = rect & QRect(0, 0, width, height);
    region.Copy([bitmap, height](int y) { return BitmapRow(bitmap, height, y); });
    return region;
}

void CLayerRegion::SwapWith(QImage& layer)
{
    Swap({layer.width(), layer.height(), layer.depth()}, [&layer](int y) { return QImageRow(layer, y); });
}

void CLayerRegion::CopyInto(QImage& layer) const
{
    Put({layer.width(), layer.height(), layer.depth()}, [&layer](int y) { return QImageRow(layer, y); });
}

void CLayerRegion::SwapWith(FIBITMAP* bitmap)
{
    if (!bitmap)
        return;
    const int width = static_cast<int>(FreeImage_GetWidth(bitmap));
    const int height = static_cast<int>(FreeImage_GetHeight(bitmap));
    Swap({width, height, static_cast<int>(FreeImage_GetBPP(bitmap))},
         [bitmap, height](int y) { return BitmapRow(bitmap, height, y); });
}
