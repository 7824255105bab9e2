// SPDX-License-Identifier: MIT
// Pictures stored on their side are shown, painted and saved upright.
#include "deep_pictures.h"
#include "editor_fixture.h"
#include "test_bitmaps.h"

#include "picture/exif_orientation.h"
#include "picture/picture_loader.h"
#include "picture/picture_writer.h"
#include "picture/upright_pixels.h"

#include <QFile>

#include <cstdlib>
#include <cstring>

namespace {

constexpr int PaintButton = 1042;
constexpr int SaveButton = 1003;

class EditorOrientation : public EditorTest {};

} // namespace

TEST_F(EditorOrientation, StrokesLandWhereDrawnAndSaveWritesUprightPixelsWithOrientationOne)
{
    const struct {
        const char* name;
        WORD orientation;
        FREE_IMAGE_TYPE deep; // FIT_BITMAP: 8 bits per channel
        bool cmyk;
    } cases[] = {{"rgb.png", 6, FIT_BITMAP, false},
                 {"deep.tif", 8, FIT_RGB16, false},
                 {"inks.tif", 5, FIT_BITMAP, true}};
    StartDialog();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BitmapPtr stored;
        if (c.deep != FIT_BITMAP) {
            stored = MakeDeepPicture(c.deep, 48, 32, 3);
        } else {
            stored = c.cmyk ? MakeCmykBitmap(48, 32) : MakeBitmap(48, 32, 24);
            PaintTexture(stored.get(), 4);
        }
        SetOrientation(stored.get(), c.orientation);
        const QString path = PathOf(QString::fromLatin1(c.name));
        std::string error;
        ASSERT_TRUE(WritePicture(stored.get(), QFile::encodeName(path).toStdString(), error)) << error;
        const BitmapPtr upright = TurnUpright(stored.get(), c.orientation);

        Open(path);
        ASSERT_EQ(Canvas().PictureWidth(), 32);
        ASSERT_EQ(Canvas().PictureHeight(), 48);
        EXPECT_EQ(Canvas().OverlayLayer().size(), QSize(32, 48));
        // A dab at the upright picture's (20, 40), counted from the top.
        Stroke({20, 40}, {21, 40});
        EXPECT_EQ(Canvas().OverlayLayer().pixel(20, 40), HoleRgb);
        Click(PaintButton);

        saveAnswer = PathOf(QStringLiteral("saved_") + QString::fromLatin1(c.name).section('.', 0, 0));
        Click(SaveButton);
        const LoadedPicture saved = LoadPicture(QFile::encodeName(saveAnswer + QStringLiteral(".tif")).toStdString());
        ASSERT_TRUE(saved) << saved.error;
        FIBITMAP* const written = saved.fullDepth ? saved.fullDepth.get() : saved.bitmap.get();
        ASSERT_EQ(FreeImage_GetWidth(written), 32u);
        ASSERT_EQ(FreeImage_GetHeight(written), 48u);
        EXPECT_EQ(ExifOrientation(written), 1);
        EXPECT_EQ(FreeImage_GetColorType(written) == FIC_CMYK, c.cmyk);
        // Only around the dab did Paint change the upright picture.
        const unsigned bytes = FreeImage_GetBPP(written) / 8;
        int changedNearDab = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 32; ++x) {
                const bool same = std::memcmp(FreeImage_GetScanLine(written, y) + x * bytes,
                                              FreeImage_GetScanLine(upright.get(), y) + x * bytes, bytes) == 0;
                const int topRow = 47 - y;
                if (std::abs(x - 20) > 8 || std::abs(topRow - 40) > 8) {
                    ASSERT_TRUE(same) << x << "," << topRow;
                } else {
                    changedNearDab += !same;
                }
            }
        EXPECT_GT(changedNearDab, 0);
    }
}
