// SPDX-License-Identifier: MIT
#include "deep_pictures.h"
#include "test_bitmaps.h"

#include "picture/exif_orientation.h"
#include "picture/picture_loader.h"
#include "picture/picture_writer.h"
#include "picture/upright_pixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

// A 3 x 2 picture whose pixels are the letters a to f, top row first, each
// pixel's every byte holding its letter.
BitmapPtr LetterPicture(FREE_IMAGE_TYPE type, int bpp)
{
    BitmapPtr picture(FreeImage_AllocateT(type, 3, 2, bpp));
    const unsigned bytes = FreeImage_GetBPP(picture.get()) / 8;
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 3; ++x)
            std::memset(FreeImage_GetScanLine(picture.get(), 1 - row) + x * bytes, 'a' + row * 3 + x, bytes);
    return picture;
}

// The letters of a picture, top row first, rows ended by '/'.
std::string Letters(FIBITMAP* picture)
{
    const unsigned bytes = FreeImage_GetBPP(picture) / 8;
    const int height = static_cast<int>(FreeImage_GetHeight(picture));
    std::string letters;
    for (int row = 0; row < height; ++row) {
        const BYTE* line = FreeImage_GetScanLine(picture, height - 1 - row);
        for (unsigned x = 0; x < FreeImage_GetWidth(picture); ++x) {
            const BYTE* pixel = line + x * bytes;
            // Every byte of the pixel came along.
            letters += std::all_of(pixel, pixel + bytes, [&](BYTE b) { return b == pixel[0]; }) ? char(pixel[0]) : '?';
        }
        letters += '/';
    }
    return letters;
}

} // namespace

// The eight EXIF orientations of
//   a b c
//   d e f
// as a viewer shows them, for every layout the programs keep.
TEST(UprightPixels, EveryOrientationOfEveryLayoutShowsAsAViewerShowsIt)
{
    const char* const upright[9] = {nullptr,    "abc/def/",    "cba/fed/",    "fed/cba/",   "def/abc/",
                                    "ad/be/cf/", "da/eb/fc/", "fc/eb/da/", "cf/be/ad/"};
    const struct {
        FREE_IMAGE_TYPE type;
        int bpp;
    } layouts[] = {{FIT_BITMAP, 8},  {FIT_BITMAP, 24}, {FIT_BITMAP, 32},
                   {FIT_UINT16, 16}, {FIT_RGB16, 48},  {FIT_RGBA16, 64}};
    for (const auto& layout : layouts) {
        const BitmapPtr stored = LetterPicture(layout.type, layout.bpp);
        FreeImage_SetDotsPerMeterX(stored.get(), 1000);
        FreeImage_SetDotsPerMeterY(stored.get(), 2000);
        for (int orientation = 1; orientation <= 8; ++orientation) {
            SCOPED_TRACE(std::to_string(layout.bpp) + " bits, orientation " + std::to_string(orientation));
            const BitmapPtr turned = TurnUpright(stored.get(), orientation);
            ASSERT_TRUE(turned);
            EXPECT_EQ(Letters(turned.get()), upright[orientation]);
            EXPECT_EQ(FreeImage_GetImageType(turned.get()), layout.type);
            EXPECT_EQ(FreeImage_GetBPP(turned.get()), static_cast<unsigned>(layout.bpp));
            EXPECT_EQ(FreeImage_GetDotsPerMeterX(turned.get()), orientation >= 5 ? 2000u : 1000u);
        }
    }
}

TEST(UprightPixels, CmykAndPaletteStayWhatTheyWere)
{
    const Bitmap cmyk = MakeCmykBitmap(5, 3);
    const BitmapPtr turned = TurnUpright(cmyk.get(), 8);
    ASSERT_TRUE(turned);
    EXPECT_EQ(FreeImage_GetColorType(turned.get()), FIC_CMYK);
    EXPECT_EQ(FreeImage_GetWidth(turned.get()), 3u);

    const Bitmap grey = MakeBitmap(4, 2, 8);
    FreeImage_GetPalette(grey.get())[7].rgbRed = 99;
    const BitmapPtr turnedGrey = TurnUpright(grey.get(), 6);
    ASSERT_TRUE(turnedGrey);
    EXPECT_EQ(FreeImage_GetPalette(turnedGrey.get())[7].rgbRed, 99);
}

TEST(UprightPixels, OrientationOutsideTheEightValuesReadsAsUpright)
{
    const Bitmap picture = MakeBitmap(2, 2, 24);
    EXPECT_EQ(ExifOrientation(picture.get()), 1);
    SetOrientation(picture.get(), 9);
    EXPECT_EQ(ExifOrientation(picture.get()), 1);
    SetOrientation(picture.get(), 0);
    EXPECT_EQ(ExifOrientation(picture.get()), 1);
    SetOrientation(picture.get(), 5);
    EXPECT_EQ(ExifOrientation(picture.get()), 5);
}

// A camera's JPEG held upright: stored on its side with Orientation 6 in its
// EXIF block. Loaded upright, and written again, no program turns it twice.
TEST(UprightPixels, JpegOnItsSideComesUprightAndIsWrittenWithOrientationOne)
{
    const std::filesystem::path folder = std::filesystem::path(QUENLO_TEST_OUTPUT_DIR) / "upright";
    std::filesystem::create_directories(folder);
    // Stored: red top left, green top right, blue bottom left, white bottom right.
    const Bitmap stored = MakeBitmap(64, 32, 24);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) {
            const bool top = y >= 16;
            const bool left = x < 32;
            SetPixelAt(stored.get(), x, y,
                       top ? (left ? Channels{0, 0, 255, 0} : Channels{0, 255, 0, 0})
                           : (left ? Channels{255, 0, 0, 0} : Channels{255, 255, 255, 0}));
        }
    AddPhotoMetadata(stored.get());
    FreeImage_SetMetadata(FIMD_XMP, stored.get(), nullptr, nullptr);
    const std::string xmp = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF "
                            "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"><rdf:Description "
                            "rdf:about=\"\" xmlns:tiff=\"http://ns.adobe.com/tiff/1.0/\" tiff:Orientation=\"6\"/>"
                            "</rdf:RDF></x:xmpmeta>";
    FITAG* packet = FreeImage_CreateTag();
    FreeImage_SetTagKey(packet, "XMLPacket");
    FreeImage_SetTagType(packet, FIDT_ASCII);
    FreeImage_SetTagCount(packet, static_cast<DWORD>(xmp.size() + 1));
    FreeImage_SetTagLength(packet, static_cast<DWORD>(xmp.size() + 1));
    FreeImage_SetTagValue(packet, xmp.c_str());
    FreeImage_SetMetadata(FIMD_XMP, stored.get(), "XMLPacket", packet);
    FreeImage_DeleteTag(packet);
    const std::string jpeg = (folder / "side.jpg").string();
    std::string error;
    ASSERT_TRUE(WritePicture(stored.get(), jpeg, error)) << error;

    LoadedPicture loaded = LoadPicture(jpeg);
    ASSERT_TRUE(loaded) << loaded.error;
    ASSERT_EQ(ExifOrientation(loaded.bitmap.get()), 6);
    EXPECT_EQ(TurnLoadedPictureUpright(loaded), 6);
    FIBITMAP* const upright = loaded.bitmap.get();
    ASSERT_EQ(FreeImage_GetWidth(upright), 32u);
    ASSERT_EQ(FreeImage_GetHeight(upright), 64u);
    // Turned a quarter clockwise: blue top left, red top right, white bottom
    // left, green bottom right (JPEG keeps colours within a few levels).
    const auto near = [&](int x, int topRow, Channels expected) {
        const Channels found = PixelAt(upright, x, 63 - topRow);
        for (int c = 0; c < 3; ++c)
            if (std::abs(found[c] - expected[c]) > 12)
                return false;
        return true;
    };
    EXPECT_TRUE(near(8, 8, {255, 0, 0, 0}));
    EXPECT_TRUE(near(24, 8, {0, 0, 255, 0}));
    EXPECT_TRUE(near(8, 56, {255, 255, 255, 0}));
    EXPECT_TRUE(near(24, 56, {0, 255, 0, 0}));
    EXPECT_EQ(ExifOrientation(upright), 1);
    const std::string uprightXmp = TagText(upright, FIMD_XMP, "XMLPacket");
    EXPECT_NE(uprightXmp.find("tiff:Orientation=\"1\""), std::string::npos) << uprightXmp;
    EXPECT_EQ(uprightXmp.find("tiff:Orientation=\"6\""), std::string::npos) << uprightXmp;
    EXPECT_EQ(TagTextById(upright, FIMD_EXIF_MAIN, 0x010F), "Quenlo Optics");

    // Every format written from it says Orientation 1, the JPEG's own EXIF block too.
    for (const char* name : {"upright.jpg", "upright.tif", "upright.png"}) {
        SCOPED_TRACE(name);
        const std::string path = (folder / name).string();
        ASSERT_TRUE(WritePicture(upright, path, error)) << error;
        const LoadedPicture back = LoadPicture(path);
        ASSERT_TRUE(back) << back.error;
        EXPECT_EQ(FreeImage_GetWidth(back.bitmap.get()), 32u);
        EXPECT_EQ(ExifOrientation(back.bitmap.get()), 1);
        EXPECT_EQ(TagTextById(back.bitmap.get(), FIMD_EXIF_MAIN, 0x010F), "Quenlo Optics");
    }
}
