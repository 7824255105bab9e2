// SPDX-License-Identifier: MIT
// quenlo-inpaint on pictures of 16 bits per channel: every bit outside the
// changed pixels kept, the changed ones filled at 16 bits close to the 8-bit
// result, the metadata carried over and formats that cannot hold the depth
// refused.
#include "deep_pictures.h"
#include "picture/bitmap.h"
#include "picture/full_depth.h"
#include "picture/picture_loader.h"
#include "picture/picture_writer.h"
#include "test_bitmaps.h"
#include "tool_run.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class CliFullDepth : public testing::Test {
protected:
    void SetUp() override
    {
        folder = FreshTestFolder("cli_full_depth");
        // A 10 x 6 hole in a 40 x 30 picture: white is removed.
        BitmapPtr mask(FreeImage_Allocate(40, 30, 24));
        for (int y = 12; y < 18; ++y)
            for (int x = 15; x < 25; ++x)
                for (int k = 0; k < 3; ++k)
                    FreeImage_GetScanLine(mask.get(), y)[3 * x + k] = 255;
        std::string error;
        ASSERT_TRUE(WritePicture(mask.get(), (folder / "mask.png").string(), error)) << error;
    }

    ToolRun Run(const std::string& arguments) const
    {
        return RunTool(arguments + " --mask " + Quoted(folder / "mask.png"), folder);
    }

    std::string PathOf(const std::string& name) const { return (folder / name).string(); }

    fs::path folder;
};

bool InHole(int x, int y)
{
    return x >= 15 && x < 25 && y >= 12 && y < 18;
}

// The largest difference between two 8-bit pictures of one size and layout.
int LargestByteDifference(FIBITMAP* a, FIBITMAP* b)
{
    const unsigned rowBytes = FreeImage_GetLine(a);
    int largest = 0;
    for (unsigned y = 0; y < FreeImage_GetHeight(a); ++y) {
        const BYTE* rowA = FreeImage_GetScanLine(a, static_cast<int>(y));
        const BYTE* rowB = FreeImage_GetScanLine(b, static_cast<int>(y));
        for (unsigned i = 0; i < rowBytes; ++i)
            largest = std::max(largest, std::abs(rowA[i] - rowB[i]));
    }
    return largest;
}

} // namespace

TEST_F(CliFullDepth, RoundTripsKeepEveryBitOutsideTheChangedPixels)
{
    const struct {
        FREE_IMAGE_TYPE type;
        const char* name;
        const char* depth;
        bool cmyk = false;
    } cases[] = {{FIT_RGB16, "rgb.png", "48 bits per pixel, 16 per channel"},
                 {FIT_RGB16, "rgb.tif", "48 bits per pixel, 16 per channel"},
                 {FIT_UINT16, "grey.png", "16 bits per pixel, 16 per channel"},
                 {FIT_RGBA16, "rgba.tif", "64 bits per pixel, 16 per channel"},
                 {FIT_RGBA16, "cmyk.tif", "64 bits per pixel, 16 per channel", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const BitmapPtr input = MakeDeepPicture(c.type, 40, 30, 7, c.cmyk);
        AddPhotoMetadata(input.get());
        std::string error;
        ASSERT_TRUE(WritePicture(input.get(), PathOf(c.name), error)) << error;
        const std::string output = PathOf(std::string("out_") + c.name);
        const ToolRun run = Run("--smooth-seam --patch-size 5 --scan-margin 10 '" + PathOf(c.name) + "' '" + output + "'");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find(std::string("pixels, ") + c.depth + (c.cmyk ? " (CMYK)\n" : "\n")), std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find(output + " (" + c.depth + ")"), std::string::npos) << run.out;
        // The same job written at 8 bits gives the engine's own result.
        const std::string eightBit = PathOf(std::string("out8_") + c.name);
        ASSERT_EQ(Run("--depth 8 --smooth-seam --patch-size 5 --scan-margin 10 '" + PathOf(c.name) + "' '" + eightBit + "'").status, 0);

        const LoadedPicture result = LoadPicture(output);
        const LoadedPicture engine = LoadPicture(eightBit);
        ASSERT_TRUE(result.fullDepth) << result.error;
        ASSERT_TRUE(engine.bitmap && !engine.fullDepth);
        ASSERT_EQ(FreeImage_GetImageType(result.fullDepth.get()), c.type);
        const LoadedPicture reread = LoadPicture(PathOf(c.name));
        const int samples = SamplesPerPixel(input.get());
        const unsigned bytes = FreeImage_GetBPP(engine.bitmap.get()) / 8;
        const BitmapPtr composedView = ReduceToWorkingDepth(result.fullDepth.get());
        int changedOutsideHole = 0;
        int finerThanBytes = 0;
        int farthest = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                const BYTE* view = FreeImage_GetScanLine(reread.bitmap.get(), y) + x * bytes;
                const BYTE* after = FreeImage_GetScanLine(engine.bitmap.get(), y) + x * bytes;
                const bool changed = InHole(x, y) || !std::equal(view, view + bytes, after);
                changedOutsideHole += changed && !InHole(x, y);
                for (int s = 0; s < samples; ++s) {
                    const uint16_t got = Sample(result.fullDepth.get(), x, y, s);
                    if (changed)
                        finerThanBytes += got % 257 != 0;
                    else
                        ASSERT_EQ(got, Sample(reread.fullDepth.get(), x, y, s)) << x << "," << y << " " << s;
                }
                // The 16-bit sums round apart from the 8-bit ones, by little.
                const BYTE* composed = FreeImage_GetScanLine(composedView.get(), y) + x * bytes;
                for (unsigned k = 0; k < bytes; ++k)
                    farthest = std::max(farthest, std::abs(composed[k] - after[k]));
            }
        EXPECT_GT(changedOutsideHole, 0) << "the seam blending should reach past the hole";
        EXPECT_GT(finerThanBytes, 0) << "filled samples should be more than widened bytes";
        EXPECT_LE(farthest, 2);
        EXPECT_EQ(TagText(result.fullDepth.get(), FIMD_XMP, "XMLPacket").empty(), false);
    }
}

// Whichever fill the structure method picks, the picture outside the hole
// keeps every bit and the 8-bit view of the result stays close to that
// method's 8-bit result.
TEST_F(CliFullDepth, StructureMethodKeepsTheViewOfItsEightBitResult)
{
    for (const FREE_IMAGE_TYPE type : {FIT_RGB16, FIT_RGBA16}) {
        SCOPED_TRACE(type);
        const BitmapPtr input = MakeDeepPicture(type, 40, 30, 5);
        std::string error;
        ASSERT_TRUE(WritePicture(input.get(), PathOf("deep.tif"), error)) << error;
        ASSERT_EQ(Run("--method structure '" + PathOf("deep.tif") + "' '" + PathOf("out.tif") + "'").status, 0);
        ASSERT_EQ(Run("--method structure --depth 8 '" + PathOf("deep.tif") + "' '" + PathOf("out8.tif") + "'").status, 0);
        const LoadedPicture result = LoadPicture(PathOf("out.tif"));
        const LoadedPicture eightBit = LoadPicture(PathOf("out8.tif"));
        ASSERT_TRUE(result.fullDepth) << result.error;
        ASSERT_TRUE(eightBit.bitmap) << eightBit.error;
        EXPECT_LE(LargestByteDifference(ReduceToWorkingDepth(result.fullDepth.get()).get(), eightBit.bitmap.get()), 2);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                for (int s = 0; s < SamplesPerPixel(input.get()) && !InHole(x, y); ++s)
                    ASSERT_EQ(Sample(result.fullDepth.get(), x, y, s), Sample(input.get(), x, y, s)) << x << "," << y;
    }
}

TEST_F(CliFullDepth, FormatsThatCannotHoldSixteenBitsAreRefusedUnlessAskedForEight)
{
    const BitmapPtr input = MakeDeepPicture(FIT_RGB16, 40, 30, 3);
    std::string error;
    ASSERT_TRUE(WritePicture(input.get(), PathOf("in.png"), error)) << error;
    const ToolRun refused = Run("'" + PathOf("in.png") + "' '" + PathOf("out.jpg") + "'");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "quenlo-inpaint: " + PathOf("out.jpg") +
                               ": the JPEG format cannot hold this picture's 16 bits per channel; choose TIFF or "
                               "PNG, or give --depth 8\n");
    EXPECT_FALSE(fs::exists(PathOf("out.jpg")));

    const ToolRun eight = Run("--depth 8 --quality 40 '" + PathOf("in.png") + "' '" + PathOf("out.jpg") + "'");
    ASSERT_EQ(eight.status, 0) << eight.err;
    EXPECT_NE(eight.out.find("picture:  40 x 30 pixels, 48 bits per pixel, 16 per channel\n"), std::string::npos);
    EXPECT_NE(eight.out.find("(24 bits per pixel, 8 per channel)"), std::string::npos);
    EXPECT_NE(eight.out.find("notice:   JPEG is lossy"), std::string::npos) << eight.out;
    ASSERT_EQ(Run("--depth 8 '" + PathOf("in.png") + "' '" + PathOf("out95.jpg") + "'").status, 0);
    EXPECT_LT(fs::file_size(PathOf("out.jpg")), fs::file_size(PathOf("out95.jpg")));
    EXPECT_EQ(Run("--quality 0 '" + PathOf("in.png") + "' '" + PathOf("x.jpg") + "'").status, 2);
}

// A camera JPEG's EXIF reaches a TIFF output whole, read back through
// FreeImage and through the file's own directories for what FreeImage's
// TIFF reader skips (Orientation, GPS).
TEST_F(CliFullDepth, ExifOfAJpegReachesATiffOutput)
{
    LoadedPicture photo = LoadPicture(QUENLO_TEST_DATA_DIR "/rocket_small.jpg");
    ASSERT_TRUE(photo) << photo.error;
    const BitmapPtr small(FreeImage_Rescale(photo.bitmap.get(), 40, 30, FILTER_BOX));
    AddPhotoMetadata(small.get());
    std::string error;
    ASSERT_TRUE(WritePicture(small.get(), PathOf("camera.jpg"), error)) << error;

    const ToolRun run = Run(Quoted(PathOf("camera.jpg")) + " " + Quoted(PathOf("out.tif")));
    ASSERT_EQ(run.status, 0) << run.err;
    // The sample's JPEG comment is the one thing a TIFF file has no place for.
    EXPECT_NE(run.out.find("\nmetadata: not written to " + PathOf("out.tif") + ": comments\n"), std::string::npos)
        << run.out;
    const BitmapPtr viaFreeImage(FreeImage_Load(FIF_TIFF, PathOf("out.tif").c_str(), FIF_LOAD_NOPIXELS));
    ASSERT_TRUE(viaFreeImage);
    EXPECT_EQ(TagText(viaFreeImage.get(), FIMD_EXIF_MAIN, "Make"), "Quenlo Optics");
    EXPECT_EQ(TagText(viaFreeImage.get(), FIMD_EXIF_MAIN, "Model"), "Q-1");
    EXPECT_EQ(TagText(viaFreeImage.get(), FIMD_EXIF_MAIN, "Artist"), "A. Photographer");
    EXPECT_EQ(TagText(viaFreeImage.get(), FIMD_EXIF_MAIN, "Copyright"), "(c) A. Photographer");
    EXPECT_EQ(TagText(viaFreeImage.get(), FIMD_EXIF_EXIF, "DateTimeOriginal"), "2024:05:06 07:08:09");
    EXPECT_EQ(TagText(viaFreeImage.get(), FIMD_IPTC, "By-line"), "A. Photographer");
    const LoadedPicture result = LoadPicture(PathOf("out.tif"));
    ASSERT_TRUE(result) << result.error;
    EXPECT_EQ(TagTextById(result.bitmap.get(), FIMD_EXIF_MAIN, 0x0112), "right side, top");
    EXPECT_EQ(TagTextById(result.bitmap.get(), FIMD_EXIF_GPS, 0x0001), "N");
    EXPECT_EQ(TagTextById(result.bitmap.get(), FIMD_EXIF_GPS, 0x0002), "48:51:30.00");
    EXPECT_EQ(FreeImage_GetICCProfile(result.bitmap.get())->size, FreeImage_GetICCProfile(small.get())->size);
}

// With --quiet the report is gone, but what the output lost is still said,
// once, on the error output.
TEST_F(CliFullDepth, QuietStillSaysWhatTheOutputLost)
{
    const BitmapPtr input = MakeDeepPicture(FIT_RGB16, 40, 30, 5);
    AddPhotoMetadata(input.get());
    const BitmapPtr eight = ReduceToWorkingDepth(input.get());
    std::string error;
    ASSERT_TRUE(WritePicture(eight.get(), PathOf("in.png"), error)) << error;

    const ToolRun bmp = Run("--quiet " + Quoted(PathOf("in.png")) + " " + Quoted(PathOf("out.bmp")));
    ASSERT_EQ(bmp.status, 0) << bmp.err;
    EXPECT_EQ(bmp.out, "");
    EXPECT_EQ(bmp.err, "metadata: not written to " + PathOf("out.bmp") +
                           ": EXIF, EXIF camera settings, GPS, XMP, ICC profile\n");

    const ToolRun jpeg = Run("--quiet " + Quoted(PathOf("in.png")) + " " + Quoted(PathOf("out.jpg")));
    ASSERT_EQ(jpeg.status, 0) << jpeg.err;
    EXPECT_EQ(jpeg.out, "");
    EXPECT_EQ(jpeg.err, "notice:   JPEG is lossy: the whole picture loses detail, not only the filled part\n");

    const ToolRun loud = Run(Quoted(PathOf("in.png")) + " " + Quoted(PathOf("out2.bmp")));
    EXPECT_EQ(loud.err, "");
    EXPECT_NE(loud.out.find("metadata: not written to " + PathOf("out2.bmp") + ": EXIF,"), std::string::npos);
}
