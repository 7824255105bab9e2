// SPDX-License-Identifier: MIT
// The bytes of a rectangle of one layer or bitmap, kept aside so that they
// can be put back: a history step holds one of these per layer.
#pragma once

#include <FreeImage.h>
#include <QImage>
#include <QRect>

#include <cstdint>
#include <vector>

class CLayerRegion {
public:
    // Copies rect (top-down picture coordinates, cut to the layer) of the
    // layer; throws std::bad_alloc when there is no room.
    static CLayerRegion Of(const QImage& layer, const QRect& rect);
    static CLayerRegion Of(FIBITMAP* bitmap, const QRect& rect);

    // Exchanges the kept bytes with the layer's: after a swap the region
    // holds what the layer held, so a second swap undoes the first. A layer
    // of another shape than the one copied is left alone.
    void SwapWith(QImage& layer);
    void SwapWith(FIBITMAP* bitmap);
    // Writes the kept bytes into the layer, keeping them too.
    void CopyInto(QImage& layer) const;

    std::size_t Bytes() const { return m_bytes.capacity(); }
    const QRect& Rect() const { return m_rect; }

private:
    struct Shape {
        int width = 0;
        int height = 0;
        int bitsPerPixel = 0;
        bool operator==(const Shape&) const = default;
    };
    // Top-down row y of the layer, where rows may run bottom-up in memory.
    template <typename RowOf> void Swap(const Shape& shape, RowOf rowOf);
    template <typename RowOf> void Put(const Shape& shape, RowOf rowOf) const;
    template <typename RowOf> void Copy(RowOf rowOf);
    // Bytes [first, last) of a row hold the rectangle's pixels.
    std::size_t FirstByte() const;
    std::size_t LastByte() const;

    Shape m_shape;
    QRect m_rect;
    std::vector<uint8_t> m_bytes;
};
