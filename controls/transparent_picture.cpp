// SPDX-License-Identifier: MIT
#include "controls/transparent_picture.h"

#include <QImage>

QPixmap LoadWithoutColour(const QString& name, QColor transparent)
{
    QImage image;
    if (!image.load(name) || image.isNull())
        return {};
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparent.rgb() | 0xff000000u;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((row[x] | 0xff000000u) == key)
                row[x] = qRgba(0, 0, 0, 0);
        }
    }
    return QPixmap::fromImage(image);
}
