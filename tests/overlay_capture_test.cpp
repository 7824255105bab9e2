// SPDX-License-Identifier: MIT
#include "canvas/overlay_capture.h"
#include "mask/overlay_buffer.h"

#include <gtest/gtest.h>

namespace {

TEST(CaptureOverlay, RowsFromTheTopInBlueGreenRedWithZeroPadding)
{
    // Width 5: three padding bytes would be a multiple of 4; the capture
    // pads by W mod 4, one byte.
    QImage layer(5, 2, QImage::Format_RGB32);
    layer.fill(Qt::black);
    layer.setPixel(0, 0, qRgb(255, 125, 125));
    layer.setPixel(4, 1, qRgb(75, 255, 75));
    const std::optional<std::vector<uint8_t>> buffer = CaptureOverlay(layer);
    ASSERT_TRUE(buffer);
    ASSERT_EQ(OverlayRowStride(5), 16u);
    ASSERT_EQ(buffer->size(), 32u);
    const std::vector<uint8_t> top(buffer->begin(), buffer->begin() + 16);
    const std::vector<uint8_t> bottom(buffer->begin() + 16, buffer->end());
    EXPECT_EQ(top, (std::vector<uint8_t>{125, 125, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(bottom, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 75, 255, 75, 0}));
}

TEST(CaptureOverlay, NoLayerGivesNoBuffer)
{
    EXPECT_FALSE(CaptureOverlay(QImage()));
    EXPECT_FALSE(CaptureOverlay(QImage(4, 4, QImage::Format_Indexed8)));
}

} // namespace
