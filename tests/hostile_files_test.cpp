// SPDX-License-Identifier: MIT
// Odd and damaged files through the loader: each loads as an editable layout
// or is refused with a reason; sizes claimed by headers are refused before
// any decoder reserves memory for them.
#include "hostile_files.h"
#include "kernels/pixel_access.h"
#include "picture/claimed_picture_size.h"
#include "picture/picture_loader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

// The pattern the corpus generator paints: channel c of pixel (x, y).
int PatternAt(int x, int y, int channel) { return (x * 37 + y * 11 + channel * 71) % 256; }

// Each test writes into a folder of its own: the tests may run at once.
fs::path WriteFile(const std::string& name, const Bytes& bytes)
{
    const fs::path folder =
        fs::path(QUENLO_TEST_OUTPUT_DIR) / "hostile" / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(folder);
    const fs::path path = folder / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

Bytes Concatenated(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes Text(const char* text) { return Bytes(text, text + std::char_traits<char>::length(text)); }
Bytes Little16(int value) { return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)}; }
Bytes Big16(int value) { return {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)}; }
Bytes Little32(long long value)
{
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 24)};
}
Bytes Big32(long long value)
{
    return {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value)};
}

Bytes GifScreen(int width, int height, bool colourTable)
{
    return Concatenated({Text("GIF89a"), Little16(width), Little16(height),
                         {static_cast<uint8_t>(colourTable ? 0x80 : 0), 0, 0},
                         colourTable ? Bytes(6, 0) : Bytes{}});
}

// An image descriptor with a local colour table of two entries and one data sub-block.
Bytes GifFrame(int width, int height)
{
    return Concatenated({{0x2C}, Little16(0), Little16(0), Little16(width), Little16(height), {0x80}, Bytes(6, 0),
                         {0x02, 0x03, 0x44, 0x01, 0x05, 0x00}});
}

const Bytes GifComment = {0x21, 0xFE, 0x03, 'a', 'b', 'c', 0x00};

Bytes MngChunk(const char* type, const Bytes& data)
{
    // The checksum is not read for sizes.
    return Concatenated({Big32(static_cast<long long>(data.size())), Text(type), data, Bytes(4, 0)});
}

const Bytes MngSignature = {0x8A, 'M', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

Bytes MngFrame(long long width, long long height)
{
    return MngChunk("MHDR", Concatenated({Big32(width), Big32(height), Bytes(20, 0)}));
}

Bytes PngHeader(const char* type, long long width, long long height)
{
    return MngChunk(type, Concatenated({Big32(width), Big32(height), Bytes(5, 0)}));
}

// The start of a codestream: grid size, then the picture's offset on it.
Bytes Codestream(long long width, long long height, long long left, long long top)
{
    return Concatenated({{0xFF, 0x4F, 0xFF, 0x51}, Big16(41), Big16(0), Big32(width), Big32(height), Big32(left),
                         Big32(top), Bytes(19, 0)});
}

Bytes Jp2Box(const char* type, const Bytes& content)
{
    return Concatenated({Big32(static_cast<long long>(content.size()) + 8), Text(type), content});
}

const Bytes Jp2Signature = {0, 0, 0, 0x0C, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A};

Bytes Jp2Header(long long width, long long height)
{
    return Jp2Box("jp2h", Jp2Box("ihdr", Concatenated({Big32(height), Big32(width), Bytes(6, 0)})));
}

Bytes PictRect(int top, int left, int bottom, int right)
{
    return Concatenated({Big16(top), Big16(left), Big16(bottom), Big16(right)});
}

// The preamble, the byte count and the frame.
Bytes PictStart(const Bytes& frame) { return Concatenated({Bytes(512, 0), Big16(0), frame}); }

// The version 2 opcode and the extended header.
const Bytes PictVersion2 = Concatenated({Big16(0x0011), Big16(0x02FF), Big16(0x0C00), Bytes(24, 0)});

struct ClaimCase {
    const char* what;
    const char* name;
    Bytes bytes;
    std::optional<ClaimedSize> claimed; // with cutShort as it must be found
};

ClaimedSize CutShort(long long width, long long height) { return ClaimedSize{width, height, true}; }

std::vector<ClaimCase> ClaimCases()
{
    return {
        {"GIF: the larger of screen and frames", "frames.gif",
         Concatenated({GifScreen(40, 30, true), GifFrame(10, 10), GifComment, GifFrame(30000, 20000), {0x3B}}),
         ClaimedSize{30000, 20000}},
        {"GIF: the screen when no frame is larger", "screen.gif",
         Concatenated({GifScreen(40, 30, false), GifFrame(10, 10), {0x3B}}), ClaimedSize{40, 30}},
        {"GIF: frames up to where the file ends", "cut.gif",
         Concatenated({GifScreen(4, 4, false), {0x2C, 0, 0, 0, 0}, Little16(60000), Little16(60000), {0, 2, 0x10, 1}}),
         CutShort(60000, 60000)},
        {"GIF: a first frame its data cannot cover", "thin.gif",
         Concatenated({GifScreen(4, 4, false), GifFrame(600, 600), GifFrame(2, 2), {0x3B}}), CutShort(600, 600)},
        {"GIF: the screen alone", "frameless.gif", Concatenated({GifScreen(4, 4, false), {0x3B}}), CutShort(4, 4)},
        {"GIF: a wrong signature says nothing", "wrong.gif", Concatenated({Text("GIF90a"), Bytes(20, 0)}),
         std::nullopt},
        {"SGI", "huge.sgi", Concatenated({Big16(474), {0, 1}, Big16(3), Big16(65000), Big16(65000), Big16(3)}),
         ClaimedSize{65000, 65000}},
        {"SGI: one line whatever the height says", "line.sgi",
         Concatenated({Big16(474), {0, 1}, Big16(1), Big16(300), Big16(65000), Big16(1)}), ClaimedSize{300, 1}},
        {"DDS", "huge.dds",
         Concatenated({Text("DDS "), Little32(124), Little32(7), Little32(70000), Little32(80000), Bytes(16, 0)}),
         ClaimedSize{80000, 70000}},
        {"WBMP", "huge.wbmp", {0x00, 0x00, 0x87, 0xE8, 0x00, 0x87, 0xE8, 0x00}, ClaimedSize{128000, 128000}},
        {"WBMP with extension headers says nothing", "extended.wbmp", {0x00, 0x80, 0x01, 0x01}, std::nullopt},
        {"IFF: the bitmap header after another chunk", "huge.iff",
         Concatenated({Text("FORM"), Big32(40), Text("ILBM"), Text("ANNO"), Big32(3), Text("abc"), {0},
                       Text("BMHD"), Big32(20), Big16(60000), Big16(50000), Bytes(16, 0)}),
         ClaimedSize{60000, 50000}},
        {"XBM: the defines before the data", "small.xbm",
         Text("/* a comment */\n#define a_width 300\n#define a_height 200\nstatic char a_bits[] = {\n0x00 };\n"),
         ClaimedSize{300, 200}},
        {"XBM: bare names, hot spots between, the larger of a repeated size", "bare.xbm",
         Text("#define width 40\n#define a_x_hot 3\n#define height 30\n#define b_width 20\n"), ClaimedSize{40, 30}},
        {"XBM: a number too long for 32 bits is held at the largest", "long.xbm",
         Text("#define a_width 99999999999999999999999\n#define a_height 10\n"), ClaimedSize{2147483647, 10}},
        {"XBM: defines after the data has begun say nothing", "late.xbm",
         Text("#define a_width 30\nstatic char a_bits[] = {\n#define a_height 10\n"), std::nullopt},
        {"XBM: a size in hexadecimal says nothing", "hex.xbm", Text("#define a_width 0x30\n#define a_height 10\n"),
         std::nullopt},
        {"MNG: the first embedded image, whatever the frame says", "first.mng",
         Concatenated({MngSignature, MngFrame(100000, 100000), PngHeader("IHDR", 20, 10), MngChunk("IEND", {}),
                       PngHeader("IHDR", 30000, 30000)}),
         ClaimedSize{20, 10}},
        {"MNG: a JPEG image after other chunks", "huge.mng",
         Concatenated({MngSignature, MngFrame(1, 1), MngChunk("TERM", Bytes(10, 0)), PngHeader("JHDR", 40000, 40000)}),
         ClaimedSize{40000, 40000}},
        {"MNG: no embedded image says nothing", "empty.mng",
         Concatenated({MngSignature, MngFrame(10, 10), MngChunk("MEND", {})}), std::nullopt},
        {"J2K: the grid right of and below the picture's offset", "huge.j2k", Codestream(70000, 60000, 10000, 20000),
         ClaimedSize{60000, 40000}},
        {"J2K: sides of 32 bits", "widest.j2k", Codestream(0xFFFFFFFF, 0xFFFFFFFF, 0, 0),
         ClaimedSize{0xFFFFFFFF, 0xFFFFFFFF}},
        {"J2K: an offset beyond the grid says nothing", "beyond.j2k", Codestream(100, 100, 200, 0), std::nullopt},
        {"JP2: the image header when the codestream claims less", "huge.jp2",
         Concatenated({Jp2Signature, Jp2Box("ftyp", Text("jp2 \0\0\0\0jp2 ")), Jp2Header(60000, 50000),
                       Jp2Box("jp2c", Codestream(10, 10, 0, 0))}),
         ClaimedSize{60000, 50000}},
        {"JP2: the codestream after a box of 64-bit length", "long.jp2",
         Concatenated({Jp2Signature, Big32(1), Text("xml "), Big32(0), Big32(20), Text("abcd"), Jp2Header(10, 10),
                       Jp2Box("jp2c", Codestream(70000, 50000, 0, 0))}),
         ClaimedSize{70000, 50000}},
        {"JP2: a box running to the end of the file ends the walk", "open.jp2",
         Concatenated({Jp2Signature, Jp2Header(300, 200), Big32(0), Text("uuid"),
                       Jp2Box("jp2c", Codestream(90000, 90000, 0, 0))}),
         ClaimedSize{300, 200}},
        {"JP2: a box shorter than its header says nothing", "short.jp2",
         Concatenated({Jp2Signature, Big32(4), Text("ftyp"), Jp2Header(300, 200)}), std::nullopt},
        {"PICT: the frame of a version 1 picture", "frame.pct",
         Concatenated({PictStart(PictRect(10, 20, 110, 220)), {0x11, 0x01, 0xFF}}), ClaimedSize{200, 100}},
        {"PICT: the first pixel map after the prologue", "huge.pct",
         Concatenated({PictStart(PictRect(0, 0, 10, 10)), PictVersion2, Big16(0x001E), Big16(0x0001), Big16(10),
                       PictRect(0, 0, 10, 10), Big16(0x00A1), Big16(100), Big16(3), Text("abc"), {0},
                       Big16(0x0098), Big16(0x8000 | 200), PictRect(-10000, -20000, 20000, 20000),
                       Big16(0x009A), Big32(0xFF), Big16(0x8000), PictRect(0, 0, 30000, 30000)}),
         ClaimedSize{40000, 30000}},
        {"PICT: the frame when it is larger than the pixel map", "direct.pct",
         Concatenated({PictStart(PictRect(0, 0, 400, 300)), PictVersion2, Big16(0x009A), Big32(0xFF),
                       Big16(0x8000 | 40), PictRect(0, 0, 20, 10)}),
         ClaimedSize{300, 400}},
        {"PICT: an empty frame and no pixel map say nothing", "inverted.pct",
         Concatenated({PictStart(PictRect(100, 0, 10, 10)), PictVersion2, Big16(0x00FF)}), std::nullopt},
        {"PICT: a file ending before its first opcode", "cut.pct", PictStart(PictRect(0, 0, 100, 200)),
         CutShort(200, 100)},
        {"PICT: a file ending in the preamble", "stub.pct", Bytes(100, 0), CutShort(0, 0)},
        {"PNG is read by its own decoder", "small.png", Bytes(32, 0), std::nullopt},
    };
}

} // namespace

TEST(HostileFiles, EachLoadsAsItsEditableLayoutOrIsRefusedWithAReason)
{
    for (const HostileFile& file : HostileFiles()) {
        SCOPED_TRACE(file.name);
        const LoadedPicture picture = LoadPicture(file.Path());
        if (!file.Loads()) {
            EXPECT_FALSE(picture);
            EXPECT_NE(picture.error.find(file.reason), std::string::npos) << picture.error;
            continue;
        }
        ASSERT_TRUE(picture) << picture.error;
        EXPECT_EQ(picture.error, "");
        EXPECT_EQ(FreeImage_GetWidth(picture.bitmap.get()), file.width);
        EXPECT_EQ(FreeImage_GetHeight(picture.bitmap.get()), file.height);
        EXPECT_EQ(FreeImage_GetBPP(picture.bitmap.get()), file.bitsPerPixel);
        EXPECT_EQ(FreeImage_GetColorType(picture.bitmap.get()), file.colourType);
    }
}

TEST(HostileFiles, TheTableNamesEveryFileOfTheCorpus)
{
    for (const fs::directory_entry& entry : fs::directory_iterator(QUENLO_TEST_DATA_DIR "/hostile")) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(std::any_of(HostileFiles().begin(), HostileFiles().end(),
                                [&](const HostileFile& file) { return name == file.name; }))
            << name;
    }
}

TEST(HostileFiles, DeepSamplesKeepTheirHighByteInMemoryOrder)
{
    const LoadedPicture grey = LoadPicture(QUENLO_TEST_DATA_DIR "/hostile/grey_16bit.tif");
    const LoadedPicture rgb = LoadPicture(QUENLO_TEST_DATA_DIR "/hostile/rgb_48bit.tif");
    const LoadedPicture rgba = LoadPicture(QUENLO_TEST_DATA_DIR "/hostile/rgba_64bit.tif");
    ASSERT_TRUE(grey && rgb && rgba);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x) {
            int g[4] = {}, c[4] = {}, a[4] = {};
            ReadPixel(grey.bitmap.get(), x, y, g, 1);
            ReadPixel(rgb.bitmap.get(), x, y, c, 3);
            ReadPixel(rgba.bitmap.get(), x, y, a, 4);
            ASSERT_EQ(g[0], PatternAt(x, y, 0)) << x << "," << y;
            // Deep samples are stored red first; editable pixels blue first.
            for (int channel = 0; channel < 3; ++channel) {
                ASSERT_EQ(c[2 - channel], PatternAt(x, y, channel)) << x << "," << y;
                ASSERT_EQ(a[2 - channel], PatternAt(x, y, channel)) << x << "," << y;
            }
            ASSERT_EQ(a[3], PatternAt(x, y, 3)) << x << "," << y;
        }
}

TEST(HostileFiles, PaletteIndicesBecomeTheirColours)
{
    const LoadedPicture picture = LoadPicture(QUENLO_TEST_DATA_DIR "/hostile/palette_4bit.bmp");
    ASSERT_TRUE(picture) << picture.error;
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x) {
            const int i = (x + 3 * y) % 16;
            int c[4] = {};
            ReadPixel(picture.bitmap.get(), x, y, c, 3);
            ASSERT_EQ(c[0], 255 - i * 17) << x << "," << y;
            ASSERT_EQ(c[1], i * 97 % 256) << x << "," << y;
            ASSERT_EQ(c[2], i * 17) << x << "," << y;
        }
}

TEST(ClaimedPictureSize, HeadersOfWholeFileDecodersGiveTheirLargestClaim)
{
    for (const ClaimCase& c : ClaimCases()) {
        SCOPED_TRACE(c.what);
        const fs::path path = WriteFile(c.name, c.bytes);
        const FREE_IMAGE_FORMAT format = FreeImage_GetFIFFromFilename(path.string().c_str());
        const std::optional<ClaimedSize> claimed = ReadClaimedSize(path.string(), format);
        ASSERT_EQ(claimed.has_value(), c.claimed.has_value());
        if (claimed) {
            EXPECT_EQ(claimed->width, c.claimed->width);
            EXPECT_EQ(claimed->height, c.claimed->height);
            EXPECT_EQ(claimed->cutShort, c.claimed->cutShort);
        }
    }
}

TEST(ClaimedPictureSize, LoaderRefusesEveryEnormousClaim)
{
    for (const ClaimCase& c : ClaimCases()) {
        if (!c.claimed || c.claimed->Pixels() <= MaxPicturePixels)
            continue;
        SCOPED_TRACE(c.what);
        const LoadedPicture picture = LoadPicture(WriteFile(c.name, c.bytes).string());
        EXPECT_FALSE(picture);
        EXPECT_EQ(picture.error, "the picture is too large (" + std::to_string(c.claimed->width) + " x " +
                                     std::to_string(c.claimed->height) + " pixels)");
    }
}

TEST(ClaimedPictureSize, LoaderRefusesAFileThatEndsBeforeItsPictureIsCovered)
{
    for (const ClaimCase& c : ClaimCases()) {
        if (!c.claimed || !c.claimed->cutShort || c.claimed->Pixels() > MaxPicturePixels)
            continue;
        SCOPED_TRACE(c.what);
        const LoadedPicture picture = LoadPicture(WriteFile(c.name, c.bytes).string());
        EXPECT_FALSE(picture);
        EXPECT_EQ(picture.error, "the picture is damaged or cut short (its pixel data ends early)");
    }
}

TEST(ClaimedPictureSize, UniformGifPackedAsTightlyAsItGoesStillLoads)
{
    BitmapPtr picture(FreeImage_Allocate(2000, 1500, 8));
    RGBQUAD* palette = FreeImage_GetPalette(picture.get());
    for (int i = 0; i < 256; ++i)
        palette[i] = RGBQUAD{static_cast<BYTE>(i), 0, static_cast<BYTE>(255 - i), 0};
    const fs::path path = WriteFile("uniform.gif", {});
    ASSERT_TRUE(FreeImage_Save(FIF_GIF, picture.get(), path.string().c_str(), 0));
    const LoadedPicture loaded = LoadPicture(path.string());
    ASSERT_TRUE(loaded) << loaded.error << ", " << fs::file_size(path) << " bytes";
    EXPECT_EQ(FreeImage_GetWidth(loaded.bitmap.get()), 2000u);
}
