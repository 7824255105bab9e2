// SPDX-License-Identifier: MIT
// Pictures of 16 bits per channel: their 8-bit view, the composite of the
// engine's changes, and their files with quality settings and metadata.
#include "deep_pictures.h"
#include "picture/full_depth.h"
#include "picture/picture_loader.h"
#include "picture/picture_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

fs::path FreshFolder(const std::string& name)
{
    const fs::path folder = fs::path(QUENLO_TEST_OUTPUT_DIR) / "full_depth" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

void ExpectSameSamples(FIBITMAP* a, FIBITMAP* b)
{
    ASSERT_EQ(FreeImage_GetImageType(a), FreeImage_GetImageType(b));
    ASSERT_EQ(FreeImage_GetWidth(a), FreeImage_GetWidth(b));
    ASSERT_EQ(FreeImage_GetHeight(a), FreeImage_GetHeight(b));
    const unsigned bytes = FreeImage_GetLine(a);
    for (unsigned y = 0; y < FreeImage_GetHeight(a); ++y)
        ASSERT_TRUE(std::equal(FreeImage_GetScanLine(a, y), FreeImage_GetScanLine(a, y) + bytes,
                               FreeImage_GetScanLine(b, y)))
            << "line " << y;
}

} // namespace

// The engine must see exactly the bytes it saw when FreeImage converted these pictures.
TEST(ReduceToWorkingDepth, GivesFreeImagesOwnConversionAndKeepsInksInOrder)
{
    const struct {
        FREE_IMAGE_TYPE type;
        FIBITMAP* (*convert)(FIBITMAP*);
    } cases[] = {{FIT_UINT16, FreeImage_ConvertTo8Bits},
                 {FIT_RGB16, FreeImage_ConvertTo24Bits},
                 {FIT_RGBA16, FreeImage_ConvertTo32Bits}};
    for (const auto& c : cases) {
        const BitmapPtr deep = MakeDeepPicture(c.type, 37, 5, 11);
        const BitmapPtr ours = ReduceToWorkingDepth(deep.get());
        const BitmapPtr theirs(c.convert(deep.get()));
        ExpectSameSamples(ours.get(), theirs.get());
    }
    const BitmapPtr inks = MakeDeepPicture(FIT_RGBA16, 3, 2, 5, true);
    AddPhotoMetadata(inks.get());
    const BitmapPtr view = ReduceToWorkingDepth(inks.get());
    EXPECT_EQ(FreeImage_GetColorType(view.get()), FIC_CMYK);
    EXPECT_EQ(TagText(view.get(), FIMD_EXIF_MAIN, "Artist"), "A. Photographer");
    EXPECT_EQ(FreeImage_GetICCProfile(view.get())->size, 132);
    for (int s = 0; s < 4; ++s)
        EXPECT_EQ(FreeImage_GetScanLine(view.get(), 1)[4 + s], Sample(inks.get(), 1, 1, s) >> 8) << s;
}

TEST(ComposeFullDepth, ChangedPixelsTakeTheEightBitResultAndOthersKeepEveryBit)
{
    for (const FREE_IMAGE_TYPE type : {FIT_UINT16, FIT_RGB16, FIT_RGBA16}) {
        const BitmapPtr original = MakeDeepPicture(type, 6, 4, 3);
        const BitmapPtr deep(FreeImage_Clone(original.get()));
        const BitmapPtr working = ReduceToWorkingDepth(deep.get());
        const unsigned bytes = FreeImage_GetBPP(working.get()) / 8;
        std::vector<uint8_t> filled(6 * 4, 0);
        // (1, 1) filled with the very bytes it had; (4, 2) altered by seam blending.
        filled[1 * 6 + 1] = 1;
        FreeImage_GetScanLine(working.get(), 2)[4 * bytes] ^= 0x10;
        ComposeFullDepth(deep.get(), working.get(), filled);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                for (int s = 0; s < SamplesPerPixel(deep.get()); ++s) {
                    const bool changed = (x == 1 && y == 1) || (x == 4 && y == 2);
                    const uint16_t expected =
                        changed ? static_cast<uint16_t>((Sample(original.get(), x, y, s) >> 8 ^
                                                         (x == 4 && s == (bytes == 1 ? 0 : 2) ? 0x10 : 0)) *
                                                        257)
                                : Sample(original.get(), x, y, s);
                    EXPECT_EQ(Sample(deep.get(), x, y, s), expected) << type << " " << x << "," << y << " " << s;
                }
    }
}

// A fake fill: (5, 1) copied exactly from (1, 1); (6, 1) copied from (2, 3)
// and blended afterwards, while its source was blended too; (5, 3) names a
// filled pixel as source and (6, 3) is not listed, so both are widened.
TEST(ComposeFullDepth, CopiedPixelsKeepTheirSourcesSixteenBitsUnderTheEightBitResult)
{
    for (const FREE_IMAGE_TYPE type : {FIT_UINT16, FIT_RGB16, FIT_RGBA16}) {
        SCOPED_TRACE(type);
        const BitmapPtr original = MakeDeepPicture(type, 8, 5, 4);
        const BitmapPtr deep(FreeImage_Clone(original.get()));
        const BitmapPtr working = ReduceToWorkingDepth(deep.get());
        const unsigned bytes = FreeImage_GetBPP(working.get()) / 8;
        const int blendedSample = bytes == 1 ? 0 : 2; // the sample stored in a working pixel's first byte
        const auto pixel = [&](int x, int y) { return FreeImage_GetScanLine(working.get(), y) + x * bytes; };
        std::vector<uint8_t> filled(8 * 5, 0);
        const std::array<std::array<int, 4>, 4> fill = {{{5, 1, 1, 1}, {6, 1, 2, 3}, {5, 3, 0, 0}, {6, 3, 7, 4}}};
        for (const auto& [x, y, fromX, fromY] : fill) {
            filled[y * 8 + x] = 1;
            std::copy_n(pixel(fromX, fromY), bytes, pixel(x, y));
        }
        pixel(6, 1)[0] ^= 0x10;
        pixel(2, 3)[0] ^= 0x20;
        const std::vector<PixelCopy> copies = {{5, 1, 1, 1}, {6, 1, 2, 3}, {5, 3, 6, 1}, {2, 0, -5, 0}, {9, 1, 1, 1}};
        ComposeFullDepth(deep.get(), working.get(), filled, copies);

        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 8; ++x)
                for (int s = 0; s < SamplesPerPixel(deep.get()); ++s) {
                    const auto from = [&](int u, int v) { return Sample(original.get(), u, v, s); };
                    const auto widened = [](int high) { return static_cast<uint16_t>(high * 257); };
                    uint16_t expected = from(x, y);
                    if (x == 5 && y == 1)
                        expected = from(1, 1);
                    else if (x == 6 && y == 1)
                        expected = s == blendedSample ? static_cast<uint16_t>(from(2, 3) ^ 0x1000) : from(2, 3);
                    else if (x == 5 && y == 3)
                        expected = widened(from(0, 0) >> 8);
                    else if (x == 6 && y == 3)
                        expected = widened(from(7, 4) >> 8);
                    else if (x == 2 && y == 3)
                        expected = widened(s == blendedSample ? from(2, 3) >> 8 ^ 0x20 : from(2, 3) >> 8);
                    EXPECT_EQ(Sample(deep.get(), x, y, s), expected) << x << "," << y << " " << s;
                }
        ExpectSameSamples(ReduceToWorkingDepth(deep.get()).get(), working.get());
    }
}

TEST(WritePicture, SixteenBitsPerChannelRoundTripExactlyInPngAndTiff)
{
    const fs::path folder = FreshFolder("round_trip");
    for (const FREE_IMAGE_TYPE type : {FIT_UINT16, FIT_RGB16, FIT_RGBA16})
        for (const char* extension : {".png", ".tif"}) {
            const BitmapPtr deep = MakeDeepPicture(type, 9, 7, 21);
            const std::string path = (folder / (std::to_string(type) + extension)).string();
            std::string error;
            WrittenPicture written;
            ASSERT_TRUE(WritePicture(deep.get(), path, error, {}, &written)) << error;
            EXPECT_EQ(written.depth, DepthText(deep.get()));
            const LoadedPicture loaded = LoadPicture(path);
            ASSERT_TRUE(loaded.fullDepth) << path << ": " << loaded.error;
            ExpectSameSamples(loaded.fullDepth.get(), deep.get());
        }
    const BitmapPtr inks = MakeDeepPicture(FIT_RGBA16, 4, 3, 8, true);
    std::string error;
    ASSERT_TRUE(WritePicture(inks.get(), (folder / "cmyk.tif").string(), error)) << error;
    const LoadedPicture loaded = LoadPicture((folder / "cmyk.tif").string());
    ASSERT_TRUE(loaded.fullDepth);
    EXPECT_EQ(FreeImage_GetColorType(loaded.fullDepth.get()), FIC_CMYK);
    ExpectSameSamples(loaded.fullDepth.get(), inks.get());
    EXPECT_FALSE(WritePicture(inks.get(), (folder / "cmyk.png").string(), error));
}

TEST(WritePicture, SixteenBitsAreRefusedByFormatsThatCannotHoldThem)
{
    const fs::path folder = FreshFolder("refused");
    const BitmapPtr deep = MakeDeepPicture(FIT_RGB16, 4, 4, 2);
    std::string error;
    EXPECT_FALSE(HoldsDepth(deep.get(), "x.jpg"));
    EXPECT_FALSE(WritePicture(deep.get(), (folder / "out.jpg").string(), error));
    EXPECT_EQ(error, "the JPEG format cannot store 16 bits per channel");
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST(WritePicture, JpegQualityIsNinetyFiveUnlessAskedAndSetsTheFileSize)
{
    const fs::path folder = FreshFolder("quality");
    LoadedPicture sample = LoadPicture(QUENLO_TEST_DATA_DIR "/coffee_table.png");
    ASSERT_TRUE(sample);
    std::string error;
    const auto sizeAt = [&](const std::string& name, WriteOptions options) {
        EXPECT_TRUE(WritePicture(sample.bitmap.get(), (folder / name).string(), error, options)) << error;
        return fs::file_size(folder / name);
    };
    const auto byDefault = sizeAt("default.jpg", {});
    EXPECT_EQ(byDefault, sizeAt("95.jpg", {95}));
    EXPECT_GT(byDefault, sizeAt("75.jpg", {75}));
    EXPECT_GT(sizeAt("75.jpg", {75}), sizeAt("10.jpg", {10}));
    EXPECT_GT(sizeAt("100.jpg", {100}), byDefault);
}

TEST(WritePicture, MetadataGoesIntoEveryFormatThatHoldsItAndTheRestIsNamed)
{
    const fs::path folder = FreshFolder("metadata");
    const struct {
        const char* extension;
        std::vector<std::string> notWritten;
    } formats[] = {{".tif", {}},
                   {".jpg", {}},
                   {".png", {"IPTC"}},
                   {".bmp",
                    {"EXIF", "EXIF camera settings", "GPS", "IPTC", "XMP", "ICC profile"}}};
    for (const auto& format : formats) {
        const std::string extension = format.extension;
        LoadedPicture sample = LoadPicture(QUENLO_TEST_DATA_DIR "/chelsea_small.png");
        ASSERT_TRUE(sample);
        AddPhotoMetadata(sample.bitmap.get());
        const std::string path = (folder / ("photo" + extension)).string();
        std::string error;
        WrittenPicture written;
        ASSERT_TRUE(WritePicture(sample.bitmap.get(), path, error, {}, &written)) << error;
        EXPECT_EQ(written.notWritten, format.notWritten) << extension;
        const LoadedPicture back = LoadPicture(path);
        ASSERT_TRUE(back) << back.error;
        const auto missing = [&](const char* kind) {
            return std::find(written.notWritten.begin(), written.notWritten.end(), kind) != written.notWritten.end();
        };
        const struct {
            FREE_IMAGE_MDMODEL model;
            WORD id;
            const char* kind;
            std::string value;
        } tags[] = {{FIMD_EXIF_MAIN, 0x013B, "EXIF", "A. Photographer"},
                    {FIMD_EXIF_MAIN, 0x010F, "EXIF", "Quenlo Optics"},
                    {FIMD_EXIF_MAIN, 0x0112, "EXIF", "right side, top"},
                    {FIMD_EXIF_EXIF, 0x9003, "EXIF camera settings", "2024:05:06 07:08:09"},
                    {FIMD_EXIF_GPS, 0x0001, "GPS", "N"},
                    {FIMD_EXIF_GPS, 0x0002, "GPS", "48:51:30.00"},
                    {FIMD_IPTC, 0x0250, "IPTC", "A. Photographer"}};
        for (const auto& tag : tags) {
            const std::string value = TagTextById(back.bitmap.get(), tag.model, tag.id);
            // Either the tag came back whole or the writer named its kind as not written.
            EXPECT_EQ(value, missing(tag.kind) ? "" : tag.value) << extension << " " << std::hex << tag.id;
        }
        EXPECT_EQ(FreeImage_GetICCProfile(back.bitmap.get())->size > 0, !missing("ICC profile")) << extension;
        EXPECT_EQ(FreeImage_GetMetadataCount(FIMD_XMP, back.bitmap.get()) > 0, !missing("XMP")) << extension;
    }
}

// A JPEG's raw EXIF block goes back into JPEG files and into PNG files as
// their eXIf chunk, so camera data and orientation survive both.
TEST(WritePicture, RawExifBlockOfAJpegReachesJpegAndPngFiles)
{
    const fs::path folder = FreshFolder("raw_exif");
    // "Exif", a little-endian TIFF header, IFD0 with Make and Orientation 6.
    const BYTE block[] = {'E', 'x', 'i', 'f', 0,   0,   'I', 'I', 42,  0,   8,   0,   0,   0,   2,   0,   0x0F,
                          1,   2,   0,   14,  0,   0,   0,   38,  0,   0,   0,   0x12, 1,  3,   0,   1,   0,   0,
                          0,   6,   0,   0,   0,   0,   0,   0,   0,   'Q', 'u', 'e', 'n', 'l', 'o', ' ', 'O', 'p',
                          't', 'i', 'c', 's', 0};
    LoadedPicture sample = LoadPicture(QUENLO_TEST_DATA_DIR "/chelsea_small.png");
    ASSERT_TRUE(sample);
    FITAG* tag = FreeImage_CreateTag();
    FreeImage_SetTagKey(tag, "ExifRaw");
    FreeImage_SetTagType(tag, FIDT_BYTE);
    FreeImage_SetTagCount(tag, sizeof block);
    FreeImage_SetTagLength(tag, sizeof block);
    FreeImage_SetTagValue(tag, block);
    FreeImage_SetMetadata(FIMD_EXIF_RAW, sample.bitmap.get(), "ExifRaw", tag);
    FreeImage_DeleteTag(tag);

    std::string error;
    const std::string jpeg = (folder / "photo.jpg").string();
    ASSERT_TRUE(WritePicture(sample.bitmap.get(), jpeg, error)) << error;
    const LoadedPicture back = LoadPicture(jpeg);
    ASSERT_TRUE(back);
    EXPECT_EQ(TagText(back.bitmap.get(), FIMD_EXIF_MAIN, "Make"), "Quenlo Optics");
    EXPECT_EQ(TagText(back.bitmap.get(), FIMD_EXIF_MAIN, "Orientation"), "right side, top");

    const std::string png = (folder / "photo.png").string();
    WrittenPicture written;
    ASSERT_TRUE(WritePicture(back.bitmap.get(), png, error, {}, &written)) << error;
    EXPECT_TRUE(std::find(written.notWritten.begin(), written.notWritten.end(), "EXIF") == written.notWritten.end());
    std::ifstream file(png, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_NE(bytes.find("eXIf"), std::string::npos);
    // The pixels are still those FreeImage reads from the file, and the chunk holds the block's tags.
    const LoadedPicture reread = LoadPicture(png);
    ASSERT_TRUE(reread) << reread.error;
    EXPECT_EQ(FreeImage_GetWidth(reread.bitmap.get()), 150u);
    EXPECT_EQ(TagTextById(reread.bitmap.get(), FIMD_EXIF_MAIN, 0x010F), "Quenlo Optics");
    EXPECT_EQ(TagTextById(reread.bitmap.get(), FIMD_EXIF_MAIN, 0x0112), "right side, top");
}
