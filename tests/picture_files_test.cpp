// SPDX-License-Identifier: MIT
#include "kernels/pixel_access.h"
#include "picture/bitmap.h"
#include "picture/cmyk_conversion.h"
#include "picture/picture_loader.h"
#include "picture/picture_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

fs::path FreshFolder(const std::string& name)
{
    const fs::path folder = fs::path(QUENLO_TEST_OUTPUT_DIR) / "picture_files" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

// A 3 x 2 CMYK picture whose pixels are (x * 80, y * 100, 30, x * 60 + y).
BitmapPtr MakeCmykPicture()
{
    BitmapPtr picture(FreeImage_Allocate(3, 2, 32));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const int ink[4] = {x * 80, y * 100, 30, x * 60 + y};
            WritePixel(picture.get(), x, y, ink, 4);
        }
    FreeImage_GetICCProfile(picture.get())->flags |= FIICC_COLOR_IS_CMYK;
    return picture;
}

void ExpectSamePixels(FIBITMAP* a, FIBITMAP* b, int bytesPerPixel)
{
    ASSERT_EQ(FreeImage_GetWidth(a), FreeImage_GetWidth(b));
    ASSERT_EQ(FreeImage_GetHeight(a), FreeImage_GetHeight(b));
    for (int y = 0; y < static_cast<int>(FreeImage_GetHeight(a)); ++y)
        for (int x = 0; x < static_cast<int>(FreeImage_GetWidth(a)); ++x) {
            int pa[4] = {0, 0, 0, 0};
            int pb[4] = {0, 0, 0, 0};
            ReadPixel(a, x, y, pa, bytesPerPixel);
            ReadPixel(b, x, y, pb, bytesPerPixel);
            for (int k = 0; k < bytesPerPixel; ++k)
                EXPECT_EQ(pa[k], pb[k]) << x << ", " << y << " channel " << k;
        }
}

} // namespace

TEST(CmykToRgb, InksAndBlackMixAsTheEditorShowsThem)
{
    BitmapPtr cmyk(FreeImage_Allocate(4, 1, 32));
    const int inks[4][4] = {{255, 0, 0, 0}, {10, 20, 30, 255}, {100, 0, 200, 50}, {0, 0, 0, 0}};
    for (int x = 0; x < 4; ++x)
        WritePixel(cmyk.get(), x, 0, inks[x], 4);
    const BitmapPtr rgb = CmykToRgb(cmyk.get());
    ASSERT_TRUE(rgb);
    ASSERT_EQ(FreeImage_GetBPP(rgb.get()), 24u);
    // v = K + (255 - K) * ink / 255, truncated; blue from yellow, red from cyan.
    const int expected[4][3] = {{255, 255, 0}, {0, 0, 0}, {45, 205, 125}, {255, 255, 255}};
    for (int x = 0; x < 4; ++x) {
        int bgr[4] = {0, 0, 0, 0};
        ReadPixel(rgb.get(), x, 0, bgr, 3);
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(bgr[k], expected[x][k]) << "pixel " << x << " channel " << k;
    }
}

TEST(WritePicture, CmykStaysCmykInTiffAndBecomesRgbElsewhere)
{
    const fs::path folder = FreshFolder("cmyk");
    const BitmapPtr cmyk = MakeCmykPicture();
    std::string error;
    ASSERT_TRUE(WritePicture(cmyk.get(), (folder / "out.tif").string(), error)) << error;
    ASSERT_TRUE(WritePicture(cmyk.get(), (folder / "out.png").string(), error)) << error;

    const LoadedPicture tiff = LoadPicture((folder / "out.tif").string());
    ASSERT_TRUE(tiff) << tiff.error;
    EXPECT_EQ(FreeImage_GetColorType(tiff.bitmap.get()), FIC_CMYK);
    ExpectSamePixels(tiff.bitmap.get(), cmyk.get(), 4);

    const LoadedPicture png = LoadPicture((folder / "out.png").string());
    ASSERT_TRUE(png) << png.error;
    ASSERT_EQ(FreeImage_GetBPP(png.bitmap.get()), 24u);
    ExpectSamePixels(png.bitmap.get(), CmykToRgb(cmyk.get()).get(), 3);
}

TEST(WritePicture, GreyscaleStaysEightBit)
{
    const fs::path folder = FreshFolder("grey");
    BitmapPtr grey(FreeImage_Allocate(5, 3, 8));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            WriteMaskValue(grey.get(), x, y, x * 50 + y);
    std::string error;
    for (const char* name : {"grey.png", "grey.tif", "grey.bmp"}) {
        ASSERT_TRUE(WritePicture(grey.get(), (folder / name).string(), error)) << name << ": " << error;
        const LoadedPicture back = LoadPicture((folder / name).string());
        ASSERT_TRUE(back) << back.error;
        EXPECT_EQ(FreeImage_GetBPP(back.bitmap.get()), 8u) << name;
        EXPECT_EQ(FreeImage_GetColorType(back.bitmap.get()), FIC_MINISBLACK) << name;
        ExpectSamePixels(back.bitmap.get(), grey.get(), 1);
    }
}

// A colour profile the PNG encoder refuses (its length field disagrees with
// its size) costs the profile, named as not written, never the picture; the
// picture in memory keeps it.
TEST(WritePicture, DamagedColourProfileIsLeftOutNotThePicture)
{
    const fs::path folder = FreshFolder("damaged_profile");
    BitmapPtr picture(FreeImage_Allocate(4, 4, 24));
    std::vector<BYTE> profile(200, 0x5a);
    FreeImage_CreateICCProfile(picture.get(), profile.data(), static_cast<long>(profile.size()));
    std::string error;
    WrittenPicture written;
    ASSERT_TRUE(WritePicture(picture.get(), (folder / "out.png").string(), error, {}, &written)) << error;
    EXPECT_EQ(written.notWritten, std::vector<std::string>{"ICC profile"});
    EXPECT_TRUE(LoadPicture((folder / "out.png").string()));
    ASSERT_EQ(FreeImage_GetICCProfile(picture.get())->size, 200);
    EXPECT_EQ(static_cast<const BYTE*>(FreeImage_GetICCProfile(picture.get())->data)[199], 0x5a);
}

TEST(WritePicture, FailureLeavesTheOldFileAndNoScratchFiles)
{
    const fs::path folder = FreshFolder("failure");
    BitmapPtr picture(FreeImage_Allocate(4, 4, 24));
    std::string error;

    EXPECT_FALSE(WritePicture(picture.get(), (folder / "missing" / "out.png").string(), error));
    EXPECT_NE(error.find("cannot create a file"), std::string::npos) << error;

    EXPECT_FALSE(WritePicture(picture.get(), (folder / "out.unknown").string(), error));
    EXPECT_FALSE(error.empty());

    // A target that is a folder cannot be replaced.
    fs::create_directory(folder / "taken.png");
    EXPECT_FALSE(WritePicture(picture.get(), (folder / "taken.png").string(), error));

    // Rewriting an existing file replaces it whole.
    { std::ofstream(folder / "old.png") << "old"; }
    ASSERT_TRUE(WritePicture(picture.get(), (folder / "old.png").string(), error)) << error;
    EXPECT_TRUE(LoadPicture((folder / "old.png").string()));

    int entries = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        ++entries;
        EXPECT_EQ(entry.path().extension(), ".png") << entry.path();
    }
    EXPECT_EQ(entries, 2);
}

TEST(LoadPicture, RefusesAJpegThatEndsEarly)
{
    const LoadedPicture sample = LoadPicture(QUENLO_TEST_DATA_DIR "/hostile/truncated.jpg");
    EXPECT_FALSE(sample);

    // A sound JPEG cut in half decodes with a warning only.
    const fs::path folder = FreshFolder("cut");
    BitmapPtr picture(FreeImage_Allocate(64, 64, 24));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const int colour[4] = {x * 4, y * 4, (x * y) % 256, 0};
            WritePixel(picture.get(), x, y, colour, 3);
        }
    std::string error;
    ASSERT_TRUE(WritePicture(picture.get(), (folder / "whole.jpg").string(), error)) << error;
    EXPECT_TRUE(LoadPicture((folder / "whole.jpg").string()));
    fs::copy_file(folder / "whole.jpg", folder / "cut.jpg");
    fs::resize_file(folder / "cut.jpg", fs::file_size(folder / "whole.jpg") / 2);
    const LoadedPicture cut = LoadPicture((folder / "cut.jpg").string());
    EXPECT_FALSE(cut);
    EXPECT_NE(cut.error.find("cut short"), std::string::npos) << cut.error;
}
