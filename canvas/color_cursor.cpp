// SPDX-License-Identifier: MIT
#include "canvas/color_cursor.h"

#include <QBitmap>
#include <QPixmap>

void CColorCursor::GetMaskBitmaps(const QImage& source, QRgb transparent, QImage& andMask, QImage& colour) const
{
    const QImage pixels = source.convertToFormat(QImage::Format_RGB32);
    andMask = QImage(pixels.size(), QImage::Format_RGB32);
    colour = QImage(pixels.size(), QImage::Format_RGB32);
    const QRgb see = qRgb(qRed(transparent), qGreen(transparent), qBlue(transparent));
    for (int x = 0; x < pixels.width(); ++x) {
        for (int y = 0; y < pixels.height(); ++y) {
            const QRgb c = pixels.pixel(x, y);
            const bool seeThrough = c == see;
            andMask.setPixel(x, y, seeThrough ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
            colour.setPixel(x, y, seeThrough ? qRgb(0, 0, 0) : c);
        }
    }
}

std::optional<QCursor> CColorCursor::CreateColorCursor(const QImage& source, QRgb transparent, int hotX,
                                                       int hotY) const
{
    if (source.isNull())
        return std::nullopt;
    QImage andMask;
    QImage colour;
    GetMaskBitmaps(source, transparent, andMask, colour);
    QPixmap pixmap = QPixmap::fromImage(colour);
    // A bitmap's dark pixels are its opaque ones: the AND mask as it is.
    pixmap.setMask(QBitmap::fromImage(andMask.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither)));
    return QCursor(pixmap, hotX, hotY);
}
