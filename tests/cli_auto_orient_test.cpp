// SPDX-License-Identifier: MIT
// quenlo-inpaint and pictures stored on their side: as stored by default,
// upright with --auto-orient.
#include "deep_pictures.h"
#include "test_bitmaps.h"
#include "tool_run.h"

#include "mask/brush_colours.h"
#include "picture/exif_orientation.h"
#include "picture/picture_loader.h"
#include "picture/picture_writer.h"
#include "picture/upright_pixels.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class CliAutoOrient : public testing::Test {
protected:
    void SetUp() override
    {
        folder = FreshTestFolder("auto_orient");
        // 48 x 32 as stored, Orientation 6: 32 x 48 upright.
        stored = MakeBitmap(48, 32, 24);
        PaintTexture(stored.get(), 5);
        AddPhotoMetadata(stored.get());
        std::string error;
        ASSERT_TRUE(WritePicture(stored.get(), Path("side.png"), error)) << error;
    }

    std::string Path(const std::string& name) const { return (folder / name).string(); }

    // A black overlay with a removal dab of 5 x 5 at (x, y), FreeImage rows.
    void WriteOverlay(const std::string& name, int width, int height, int x, int y) const
    {
        const Bitmap overlay = MakeBitmap(width, height, 24);
        for (int dy = 0; dy < 5; ++dy)
            for (int dx = 0; dx < 5; ++dx)
                SetPixelAt(overlay.get(), x + dx, y + dy,
                           {BlueOf(HoleColour), GreenOf(HoleColour), RedOf(HoleColour), 0});
        std::string error;
        ASSERT_TRUE(WritePicture(overlay.get(), Path(name), error)) << error;
    }

    ToolRun Run(const std::string& arguments) const { return RunTool(arguments, folder); }

    fs::path folder;
    Bitmap stored;
};

// Pixels more than 8 pixels from the 5 x 5 dab at (x, y) are the same.
void ExpectSameAwayFrom(FIBITMAP* expected, FIBITMAP* found, int dabX, int dabY)
{
    ASSERT_EQ(FreeImage_GetWidth(found), FreeImage_GetWidth(expected));
    ASSERT_EQ(FreeImage_GetHeight(found), FreeImage_GetHeight(expected));
    for (int y = 0; y < static_cast<int>(FreeImage_GetHeight(expected)); ++y)
        for (int x = 0; x < static_cast<int>(FreeImage_GetWidth(expected)); ++x)
            if (x < dabX - 8 || x > dabX + 12 || y < dabY - 8 || y > dabY + 12) {
                ASSERT_EQ(PixelAt(found, x, y), PixelAt(expected, x, y)) << x << "," << y;
            }
}

} // namespace

TEST_F(CliAutoOrient, ByDefaultThePixelsAreWorkedOnAsStoredAndTheOrientationKept)
{
    WriteOverlay("stored.png", 48, 32, 20, 10);
    const ToolRun run = Run(Quoted(Path("side.png")) + " " + Quoted(Path("out.png")) + " --overlay " +
                            Quoted(Path("stored.png")));
    ASSERT_EQ(run.status, 0) << run.err;
    const LoadedPicture out = LoadPicture(Path("out.png"));
    ASSERT_TRUE(out) << out.error;
    EXPECT_EQ(ExifOrientation(out.bitmap.get()), 6);
    ExpectSameAwayFrom(stored.get(), out.bitmap.get(), 20, 10);
}

TEST_F(CliAutoOrient, TheOverlayIsDrawnOnTheUprightPictureAndTheOutputIsUpright)
{
    WriteOverlay("upright.png", 32, 48, 12, 30);
    const ToolRun run = Run("--auto-orient " + Quoted(Path("side.png")) + " " + Quoted(Path("out.tif")) +
                            " --overlay " + Quoted(Path("upright.png")));
    ASSERT_EQ(run.status, 0) << run.err;
    const LoadedPicture out = LoadPicture(Path("out.tif"));
    ASSERT_TRUE(out) << out.error;
    EXPECT_EQ(ExifOrientation(out.bitmap.get()), 1);
    const BitmapPtr upright = TurnUpright(stored.get(), 6);
    ExpectSameAwayFrom(upright.get(), out.bitmap.get(), 12, 30);
    EXPECT_NE(PixelAt(out.bitmap.get(), 14, 32), PixelAt(upright.get(), 14, 32)) << "the dab was filled";

    // An overlay of the stored size does not fit the upright picture, and the refusal says why.
    WriteOverlay("stored.png", 48, 32, 20, 10);
    const ToolRun refused = Run("--auto-orient " + Quoted(Path("side.png")) + " " + Quoted(Path("out2.png")) +
                                " --overlay " + Quoted(Path("stored.png")));
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("the overlay is 48 x 32 pixels"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("with --auto-orient, the size of the upright picture"), std::string::npos)
        << refused.err;
    EXPECT_FALSE(fs::exists(Path("out2.png")));
}

// Each picture of a batch is worked on by a process of its own, which is told too.
TEST_F(CliAutoOrient, ABatchTurnsEveryPictureUpright)
{
    fs::create_directories(folder / "strokes");
    WriteOverlay("strokes/side.png", 32, 48, 12, 30);
    const ToolRun run = Run("--auto-orient --output-dir " + Quoted(folder / "clean") + " --overlay-dir " +
                            Quoted(folder / "strokes") + " --format tif " + Quoted(Path("side.png")));
    ASSERT_EQ(run.status, 0) << run.err;
    const LoadedPicture out = LoadPicture((folder / "clean" / "side.tif").string());
    ASSERT_TRUE(out) << out.error;
    EXPECT_EQ(FreeImage_GetWidth(out.bitmap.get()), 32u);
    EXPECT_EQ(ExifOrientation(out.bitmap.get()), 1);
}
