// SPDX-License-Identifier: MIT
#include "test_pictures.h"

#include "kernels/pixel_access.h"

#include <QFile>

#include <gtest/gtest.h>

BitmapPtr MakeBitmap(int width, int height, int bitsPerPixel, const int channels[4])
{
    BitmapPtr bitmap(FreeImage_Allocate(width, height, bitsPerPixel));
    const int bytesPerPixel = bitsPerPixel / 8;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            WritePixel(bitmap.get(), x, y, channels, bytesPerPixel);
    return bitmap;
}

BitmapPtr MakeCmykBitmap(int width, int height, const int inks[4])
{
    BitmapPtr bitmap = MakeBitmap(width, height, 32, inks);
    FreeImage_CreateICCProfile(bitmap.get(), nullptr, 0)->flags |= FIICC_COLOR_IS_CMYK;
    return bitmap;
}

QString SavePicture(FIBITMAP* bitmap, const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const FREE_IMAGE_FORMAT format = FreeImage_GetFIFFromFilename(name.constData());
    const int flags = format == FIF_TIFF && FreeImage_GetColorType(bitmap) == FIC_CMYK ? TIFF_CMYK : 0;
    EXPECT_TRUE(FreeImage_Save(format, bitmap, name.constData(), flags)) << name.constData();
    return path;
}
