// SPDX-License-Identifier: MIT
#include "canvas/overlay_capture.h"
#include "canvas/canvas_pane.h"
#include "mask/overlay_buffer.h"
#include "mask/overlay_to_mask.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// The layer as a buffer of three bytes a pixel (blue, green, red), rows
// padded as the conversion's own buffers are.
std::vector<uint8_t> BufferOf(const QImage& layer)
{
    const std::size_t stride = OverlayRowStride(layer.width());
    std::vector<uint8_t> buffer(stride * static_cast<std::size_t>(layer.height()), 0);
    for (int y = 0; y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x) {
            const QRgb pixel = layer.pixel(x, y);
            uint8_t* bytes = buffer.data() + static_cast<std::size_t>(y) * stride + 3 * static_cast<std::size_t>(x);
            bytes[0] = static_cast<uint8_t>(qBlue(pixel));
            bytes[1] = static_cast<uint8_t>(qGreen(pixel));
            bytes[2] = static_cast<uint8_t>(qRed(pixel));
        }
    return buffer;
}

// A mask holding codes a former Paint may have left anywhere.
BitmapPtr StaleMask(int width, int height)
{
    BitmapPtr mask(FreeImage_Allocate(width, height, 8));
    const uint8_t codes[] = {MaskExcluded, MaskHole, MaskOutline, 1, 254};
    for (int line = 0; line < height; ++line)
        for (int x = 0; x < width; ++x)
            FreeImage_GetScanLine(mask.get(), line)[x] = codes[(x + 3 * line) % 5];
    return mask;
}

struct Conversion {
    BitmapPtr mask;
    InpaintJob job;
};

Conversion FromRows(const QImage& layer, const QRect& marked)
{
    Conversion result{StaleMask(layer.width(), layer.height()), {}};
    const std::optional<OverlayRows> rows = OverlayRowsOf(layer, marked);
    EXPECT_TRUE(rows);
    result.job = OverlayToMask(*rows, layer.width(), layer.height(), result.mask.get(), 8, false, nullptr, {});
    return result;
}

Conversion FromBuffer(const QImage& layer)
{
    Conversion result{StaleMask(layer.width(), layer.height()), {}};
    const std::vector<uint8_t> buffer = BufferOf(layer);
    result.job = OverlayToMask(buffer.data(), layer.width(), layer.height(), result.mask.get(), 8, false, nullptr, {});
    return result;
}

void ExpectSameConversion(const Conversion& rows, const Conversion& buffer, int width, int height)
{
    for (int line = 0; line < height; ++line)
        ASSERT_EQ(std::memcmp(FreeImage_GetScanLine(rows.mask.get(), line),
                              FreeImage_GetScanLine(buffer.mask.get(), line), static_cast<std::size_t>(width)),
                  0)
            << "mask line " << line;
    EXPECT_EQ(rows.job.scanMinX, buffer.job.scanMinX);
    EXPECT_EQ(rows.job.scanMaxX, buffer.job.scanMaxX);
    EXPECT_EQ(rows.job.scanMinY, buffer.job.scanMinY);
    EXPECT_EQ(rows.job.scanMaxY, buffer.job.scanMaxY);
}

TEST(OverlayRowsOf, ReadsTheLayerInPlaceWithTheMarkedPartInsideIt)
{
    QImage layer(5, 4, QImage::Format_RGB32);
    layer.fill(Qt::black);
    const std::optional<OverlayRows> rows = OverlayRowsOf(layer, QRect(-3, 2, 20, 9));
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->top, layer.constBits());
    EXPECT_EQ(rows->stride, layer.bytesPerLine());
    EXPECT_EQ(rows->pixelBytes, 4);
    EXPECT_EQ(QRect(QPoint(rows->markedLeft, rows->markedTop), QPoint(rows->markedRight, rows->markedBottom)),
              QRect(0, 2, 5, 2));
    // Nothing marked: nothing is read.
    const std::optional<OverlayRows> unmarked = OverlayRowsOf(layer, QRect());
    ASSERT_TRUE(unmarked);
    EXPECT_GT(unmarked->markedLeft, unmarked->markedRight);

    EXPECT_FALSE(OverlayRowsOf(QImage(), QRect(0, 0, 4, 4)));
    EXPECT_FALSE(OverlayRowsOf(QImage(4, 4, QImage::Format_Indexed8), QRect(0, 0, 4, 4)));
}

// Reading the layer in place within the strokes' rectangle gives the codes
// and scan rectangle of converting the whole layer, whatever codes the mask
// held before: odd widths, marks on the edges, outlines, nothing marked.
TEST(OverlayRowsOf, ConvertsAsTheWholeLayerDoes)
{
    std::mt19937 random(7);
    for (int round = 0; round < 24; ++round) {
        const int width = 1 + static_cast<int>(random() % 41);
        const int height = 1 + static_cast<int>(random() % 29);
        SCOPED_TRACE("round " + std::to_string(round) + ", " + std::to_string(width) + " x " + std::to_string(height));
        QImage layer(width, height, QImage::Format_RGB32);
        layer.fill(Qt::black);
        QRect marked;
        const int strokes = static_cast<int>(random() % 4);
        for (int i = 0; i < strokes; ++i) {
            const QRect box(static_cast<int>(random() % width), static_cast<int>(random() % height),
                            1 + static_cast<int>(random() % 9), 1 + static_cast<int>(random() % 9));
            QPainter painter(&layer);
            if (random() % 3 == 0) {
                painter.setPen(QColor(OutlineRgb));
                painter.drawRect(box);
            } else {
                painter.fillRect(box, QColor(HoleRgb));
            }
            marked |= box.adjusted(-1, -1, 1, 1);
        }
        if (round % 5 == 0) {
            layer.setPixel(width - 1, height - 1, HoleRgb);
            marked |= QRect(width - 1, height - 1, 1, 1);
        }
        // A near miss of the removal colour is no mark.
        layer.setPixel(0, 0, qRgb(255, 125, 124));
        ExpectSameConversion(FromRows(layer, marked), FromBuffer(layer), width, height);
    }
}

} // namespace
