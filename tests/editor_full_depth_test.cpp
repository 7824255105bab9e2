// SPDX-License-Identifier: MIT
// The editor on pictures of 16 bits per channel: Paint changes only what
// the engine changed, and at 16 bits; Save writes every bit with the
// metadata (EXIF too), Undo brings the full picture back.
#include "deep_pictures.h"
#include "editor_fixture.h"
#include "picture/exif_orientation.h"
#include "picture/full_depth.h"
#include "picture/picture_loader.h"
#include "picture/picture_writer.h"
#include "res/resource_ids.h"
#include "test_bitmaps.h"

#include <QFile>

#include <algorithm>

namespace {

constexpr int PaintButton = 1042;
constexpr int UndoButton = 1043;
constexpr int SaveButton = 1003;

class EditorFullDepth : public EditorTest {};

// Stripes give the fill something to choose from; the low bytes are noise.
BitmapPtr MakeStripedDeepPicture(FREE_IMAGE_TYPE type, uint32_t seed)
{
    BitmapPtr picture = MakeDeepPicture(type, 96, 64, seed);
    const int samples = SamplesPerPixel(picture.get());
    for (int y = 0; y < 64; ++y) {
        auto* line = reinterpret_cast<uint16_t*>(FreeImage_GetScanLine(picture.get(), y));
        for (int x = 0; x < 96; ++x)
            for (int s = 0; s < samples; ++s)
                line[x * samples + s] = static_cast<uint16_t>(((x * 7 + y * 5 * s) % 256) << 8 | (line[x * samples + s] & 0xFF));
    }
    return picture;
}

} // namespace

TEST_F(EditorFullDepth, PaintSaveAndUndoKeepEveryBitTheEngineDidNotChange)
{
    const struct {
        FREE_IMAGE_TYPE type;
        const char* name;
        const char* depth;
    } cases[] = {{FIT_RGB16, "rgb.png", "48 bits per pixel, 16 per channel"},
                 {FIT_RGB16, "rgb.tif", "48 bits per pixel, 16 per channel"},
                 {FIT_UINT16, "grey.png", "16 bits per pixel, 16 per channel"},
                 {FIT_RGBA16, "rgba.tif", "64 bits per pixel, 16 per channel"}};
    StartDialog();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const BitmapPtr input = MakeStripedDeepPicture(c.type, 9);
        AddPhotoMetadata(input.get());
        // Stored upright: the editor would turn a picture on its side.
        MarkUpright(input.get());
        const QString path = PathOf(QString::fromLatin1(c.name));
        std::string error;
        ASSERT_TRUE(WritePicture(input.get(), QFile::encodeName(path).toStdString(), error)) << error;
        Open(path);
        ASSERT_NE(Canvas().FullDepthImage(), nullptr);
        EXPECT_EQ(Text(IDC_STATUS), QString::fromLatin1(c.depth));
        const BitmapPtr fullBefore = CloneBitmap(Canvas().FullDepthImage());
        const BitmapPtr viewBefore = CloneBitmap(Canvas().WorkingImage());
        Stroke({30, 30}, {50, 34});
        Click(PaintButton);

        FIBITMAP* const full = Canvas().FullDepthImage();
        FIBITMAP* const view = Canvas().WorkingImage();
        ASSERT_FALSE(SameBytes(viewBefore.get(), view));
        // The 8-bit view shown is the picture's, filled at 16 bits.
        EXPECT_TRUE(SameBytes(ReduceToWorkingDepth(full).get(), view));
        const unsigned bytes = FreeImage_GetBPP(view) / 8;
        int finerThanBytes = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 96; ++x) {
                const BYTE* before = FreeImage_GetScanLine(viewBefore.get(), y) + x * bytes;
                const BYTE* after = FreeImage_GetScanLine(view, y) + x * bytes;
                // Pixels far from the stroke were neither hole nor blended.
                const bool farFromStroke = x < 10 || x > 70 || y < 10 || y > 54;
                const bool kept = std::equal(before, before + bytes, after);
                for (int s = 0; s < SamplesPerPixel(full); ++s) {
                    if (farFromStroke) {
                        ASSERT_EQ(Sample(full, x, y, s), Sample(fullBefore.get(), x, y, s)) << x << "," << y;
                    } else if (!kept) {
                        finerThanBytes += Sample(full, x, y, s) % 257 != 0;
                    }
                }
            }
        EXPECT_GT(finerThanBytes, 0) << "filled samples should be more than widened bytes";

        saveAnswer = PathOf(QStringLiteral("saved_") + QString::fromLatin1(c.name));
        Click(SaveButton);
        const QString savedPath = PathOf(QStringLiteral("saved_") + QString::fromLatin1(c.name).section('.', 0, 0) +
                                         QStringLiteral(".tif"));
        const LoadedPicture saved = LoadPicture(QFile::encodeName(savedPath).toStdString());
        ASSERT_TRUE(saved.fullDepth) << saved.error;
        EXPECT_TRUE(SameBytes(saved.fullDepth.get(), full));
        EXPECT_FALSE(TagText(saved.fullDepth.get(), FIMD_XMP, "XMLPacket").empty());
        EXPECT_EQ(FreeImage_GetICCProfile(saved.fullDepth.get())->size, 132);
        // The photo's EXIF and IPTC came in with the PNG's eXIf chunk or the TIFF's directories and went out whole.
        const struct {
            FREE_IMAGE_MDMODEL model;
            WORD id;
            const char* value;
        } tags[] = {{FIMD_EXIF_MAIN, 0x010F, "Quenlo Optics"},      {FIMD_EXIF_MAIN, 0x0110, "Q-1"},
                    {FIMD_EXIF_MAIN, 0x013B, "A. Photographer"},    {FIMD_EXIF_MAIN, 0x8298, "(c) A. Photographer"},
                    {FIMD_EXIF_MAIN, 0x0112, "top, left side"},     {FIMD_EXIF_EXIF, 0x9003, "2024:05:06 07:08:09"},
                    {FIMD_EXIF_GPS, 0x0002, "48:51:30.00"}};
        for (const auto& tag : tags)
            EXPECT_EQ(TagTextById(saved.fullDepth.get(), tag.model, tag.id), tag.value) << std::hex << tag.id;
        if (QString::fromLatin1(c.name).endsWith(QStringLiteral(".tif"))) {
            EXPECT_EQ(TagText(saved.fullDepth.get(), FIMD_IPTC, "By-line"), "A. Photographer");
        }

        Click(UndoButton);
        EXPECT_TRUE(SameBytes(fullBefore.get(), Canvas().FullDepthImage()));
        EXPECT_TRUE(SameBytes(viewBefore.get(), Canvas().WorkingImage()));
    }
}
