// SPDX-License-Identifier: MIT
#include "canvas/layer_render.h"
#include "test_bitmaps.h"

#include <gtest/gtest.h>

namespace {

// A new layer is drawn without being filled first: every pixel must come
// from the bitmap, or be black where the bitmap cannot be drawn, at any size.
TEST(LayerOf, ShowsTheBitmapAsADrawIntoABlackLayerDoes)
{
    for (const QSize size : {QSize(37, 23), QSize(1100, 700)})
        for (const int bits : {8, 24, 32}) {
            SCOPED_TRACE(std::to_string(size.width()) + " wide, " + std::to_string(bits) + " bits");
            const Bitmap bitmap = MakeBitmap(size.width(), size.height(), bits);
            PaintTexture(bitmap.get(), 11);
            QImage drawn(size, QImage::Format_RGB32);
            drawn.fill(Qt::black);
            RenderBitmapIntoLayer(bitmap.get(), drawn);
            QImage layer = LayerOf(bitmap.get());
            EXPECT_EQ(layer, drawn);
            // Shared pixels part when either copy is written.
            const QImage shared = layer;
            layer.setPixel(0, 0, qRgb(1, 2, 3));
            EXPECT_EQ(shared, drawn);
        }
    QImage black(1100, 700, QImage::Format_RGB32);
    black.fill(Qt::black);
    EXPECT_EQ(MakeBlackLayer(1100, 700), black);
    const BitmapPtr deep(FreeImage_AllocateT(FIT_RGB16, 9, 5, 48));
    const QImage layer = LayerOf(deep.get());
    ASSERT_EQ(layer.size(), QSize(9, 5));
    EXPECT_EQ(layer, MakeBlackLayer(9, 5));
    EXPECT_TRUE(LayerOf(nullptr).isNull());
}

} // namespace
