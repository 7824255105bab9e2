// SPDX-License-Identifier: MIT
#include "canvas/layer_render.h"

QImage MakeBlackLayer(int width, int height)
{
    QImage layer(width, height, QImage::Format_RGB32);
    layer.fill(Qt::black);
    return layer;
}

void RenderBitmapIntoLayer(FIBITMAP* bitmap, QImage& layer)
{
    const int width = static_cast<int>(FreeImage_GetWidth(bitmap));
    const int height = static_cast<int>(FreeImage_GetHeight(bitmap));
    const unsigned bytesPerPixel = FreeImage_GetBPP(bitmap) / 8;
    if (width != layer.width() || height != layer.height() || FreeImage_GetImageType(bitmap) != FIT_BITMAP ||
        (bytesPerPixel != 1 && bytesPerPixel != 3 && bytesPerPixel != 4))
        return;
    for (int y = 0; y < height; ++y) {
        const BYTE* source = FreeImage_GetScanLine(bitmap, height - 1 - y);
        auto* target = reinterpret_cast<QRgb*>(layer.scanLine(y));
        for (int x = 0; x < width; ++x, source += bytesPerPixel) {
            target[x] = bytesPerPixel == 1 ? qRgb(source[0], source[0], source[0])
                                           : qRgb(source[FI_RGBA_RED], source[FI_RGBA_GREEN], source[FI_RGBA_BLUE]);
        }
    }
}
