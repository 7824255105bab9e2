// SPDX-License-Identifier: MIT
#include "canvas/layer_render.h"
#include "test_bitmaps.h"

#include <gtest/gtest.h>

namespace {

// A new layer is drawn without being filled first: every pixel must come
// from the bitmap, or be black where the bitmap cannot be drawn.
TEST(LayerOf, ShowsTheBitmapAsADrawIntoABlackLayerDoes)
{
    for (const int bits : {8, 24, 32}) {
        SCOPED_TRACE(std::to_string(bits) + " bits");
        const Bitmap bitmap = MakeBitmap(37, 23, bits);
        PaintTexture(bitmap.get(), 11);
        QImage drawn = MakeBlackLayer(37, 23);
        RenderBitmapIntoLayer(bitmap.get(), drawn);
        EXPECT_EQ(LayerOf(bitmap.get()), drawn);
    }
    const BitmapPtr deep(FreeImage_AllocateT(FIT_RGB16, 9, 5, 48));
    const QImage layer = LayerOf(deep.get());
    ASSERT_EQ(layer.size(), QSize(9, 5));
    EXPECT_EQ(layer, MakeBlackLayer(9, 5));
    EXPECT_TRUE(LayerOf(nullptr).isNull());
}

} // namespace
