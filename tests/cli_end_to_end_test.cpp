// SPDX-License-Identifier: MIT
// Runs the built quenlo-inpaint as a user would and checks its files,
// exit statuses and messages.
#include "engine/inpaint_job.h"
#include "hostile_files.h"
#include "kernels/pixel_access.h"
#include "mask/brush_colours.h"
#include "picture/bitmap.h"
#include "picture/picture_loader.h"
#include "picture/picture_writer.h"

#include "tool_run.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const std::string SampleDir = QUENLO_SAMPLE_DIR;
const std::string Sample = SampleDir + "/coffee.png";
const std::string SampleOverlay = SampleDir + "/coffee_overlay.png";

class CliEndToEnd : public testing::Test {
protected:
    void SetUp() override
    {
        folder = FreshTestFolder("cli");
    }

    ToolRun Run(const std::string& arguments) const { return RunTool(arguments, folder); }

    fs::path folder;
};

BitmapPtr Load(const fs::path& path)
{
    LoadedPicture picture = LoadPicture(path.string());
    EXPECT_TRUE(picture) << path << ": " << picture.error;
    return std::move(picture.bitmap);
}

// Hole pixels of an overlay, by FreeImage line.
std::vector<bool> HolePixels(FIBITMAP* overlay)
{
    const int width = static_cast<int>(FreeImage_GetWidth(overlay));
    const int height = static_cast<int>(FreeImage_GetHeight(overlay));
    std::vector<bool> hole(static_cast<std::size_t>(width) * height, false);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int c[4] = {0, 0, 0, 0};
            ReadPixel(overlay, x, y, c, BytesPerPixelOf(overlay));
            hole[static_cast<std::size_t>(y) * width + x] =
                c[0] == BlueOf(HoleColour) && c[1] == GreenOf(HoleColour) && c[2] == RedOf(HoleColour);
        }
    return hole;
}

// Pixels marked in mayChange may differ; no other may.
void ExpectUnchangedWhere(FIBITMAP* before, FIBITMAP* after, const std::vector<bool>& mayChange)
{
    const int width = static_cast<int>(FreeImage_GetWidth(before));
    const int height = static_cast<int>(FreeImage_GetHeight(before));
    ASSERT_EQ(FreeImage_GetWidth(after), FreeImage_GetWidth(before));
    ASSERT_EQ(FreeImage_GetHeight(after), FreeImage_GetHeight(before));
    ASSERT_EQ(FreeImage_GetBPP(after), FreeImage_GetBPP(before));
    const int bytesPerPixel = BytesPerPixelOf(before);
    int changed = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (mayChange[static_cast<std::size_t>(y) * width + x])
                continue;
            int a[4] = {0, 0, 0, 0};
            int b[4] = {0, 0, 0, 0};
            ReadPixel(before, x, y, a, bytesPerPixel);
            ReadPixel(after, x, y, b, bytesPerPixel);
            if (!std::equal(a, a + bytesPerPixel, b) && ++changed <= 5)
                ADD_FAILURE() << "pixel " << x << ", " << y << " changed";
        }
    EXPECT_EQ(changed, 0);
}

long long CountCode(FIBITMAP* mask, int code)
{
    long long count = 0;
    for (unsigned y = 0; y < FreeImage_GetHeight(mask); ++y)
        for (unsigned x = 0; x < FreeImage_GetWidth(mask); ++x)
            count += ReadMaskValue(mask, static_cast<int>(x), static_cast<int>(y)) == code;
    return count;
}

// hole grown by a square of radius r.
std::vector<bool> Grown(const std::vector<bool>& hole, int width, int height, int r)
{
    std::vector<bool> grown(hole.size(), false);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (!hole[static_cast<std::size_t>(y) * width + x])
                continue;
            for (int v = std::max(0, y - r); v <= std::min(height - 1, y + r); ++v)
                for (int u = std::max(0, x - r); u <= std::min(width - 1, x + r); ++u)
                    grown[static_cast<std::size_t>(v) * width + u] = true;
        }
    return grown;
}

void WriteOrFail(FIBITMAP* picture, const fs::path& path)
{
    std::string error;
    ASSERT_TRUE(WritePicture(picture, path.string(), error)) << error;
}

} // namespace

TEST_F(CliEndToEnd, SampleHoleIsFilledAndNothingElseChanges)
{
    const ToolRun run = Run(Quoted(Sample) + " " + Quoted(folder / "out.png") + " --overlay " +
                            Quoted(SampleOverlay) + " --save-mask " + Quoted(folder / "mask.png"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("600 x 400 pixels"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("hole:     860 pixels"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("path:     patches"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("unfilled: 0 pixels"), std::string::npos) << run.out;

    const BitmapPtr before = Load(Sample);
    const BitmapPtr after = Load(folder / "out.png");
    const BitmapPtr overlay = Load(SampleOverlay);
    ExpectUnchangedWhere(before.get(), after.get(), HolePixels(overlay.get()));
    const BitmapPtr mask = Load(folder / "mask.png");
    EXPECT_EQ(CountCode(mask.get(), MaskHole), 0);
    EXPECT_EQ(CountCode(mask.get(), MaskSource), 600 * 400);
}

TEST_F(CliEndToEnd, MethodIsChosenByNameAndNamedInTheReport)
{
    const std::string files = Quoted(Sample) + " " + Quoted(folder / "out.png") + " --overlay " + Quoted(SampleOverlay);
    const ToolRun structure = Run(files + " --method structure");
    ASSERT_EQ(structure.status, 0) << structure.err;
    EXPECT_NE(structure.out.find("path:     structure\n"), std::string::npos) << structure.out;
    EXPECT_NE(structure.out.find("unfilled: 0 pixels"), std::string::npos) << structure.out;
    const BitmapPtr overlay = Load(SampleOverlay);
    ExpectUnchangedWhere(Load(Sample).get(), Load(folder / "out.png").get(), HolePixels(overlay.get()));

    // A hole that fills its whole bounding box leaves the patch engine nothing but averaging.
    BitmapPtr mask(FreeImage_Allocate(600, 400, 8));
    for (int y = 100; y < 120; ++y)
        for (int x = 200; x < 230; ++x)
            WriteMaskValue(mask.get(), x, y, 255);
    WriteOrFail(mask.get(), folder / "box.png");
    const ToolRun averaged = Run(Quoted(Sample) + " " + Quoted(folder / "box_out.png") + " --mask " + Quoted(folder / "box.png"));
    ASSERT_EQ(averaged.status, 0) << averaged.err;
    EXPECT_NE(averaged.out.find("path:     patches (whole-region neighbour averaging)\n"), std::string::npos) << averaged.out;

    fs::remove(folder / "out.png");
    const ToolRun bad = Run(files + " --method texture");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "quenlo-inpaint: --method: \"texture\" is not patches or structure (see quenlo-inpaint --help)\n");
    EXPECT_FALSE(fs::exists(folder / "out.png"));
}

TEST_F(CliEndToEnd, GuideLinesAreCountedInTheReportAndIgnoredByPatchesOnce)
{
    // A guide down through the left blemish (rows 224 to 246 from the top),
    // 11 pixels beyond it above and 4 below.
    const BitmapPtr overlay = Load(SampleOverlay);
    const int guide[4] = {BlueOf(GuideColour), GreenOf(GuideColour), RedOf(GuideColour), 0};
    for (int row = 213; row <= 250; ++row)
        WritePixel(overlay.get(), 18, 399 - row, guide, 3);
    WriteOrFail(overlay.get(), folder / "guided.png");
    const std::string files = Quoted(Sample) + " " + Quoted(folder / "out.png") + " --overlay " +
                              Quoted(folder / "guided.png");

    const ToolRun structure = Run(files + " --method structure --save-mask " + Quoted(folder / "mask.png"));
    ASSERT_EQ(structure.status, 0) << structure.err;
    // The guide replaced 23 of the blemish's pixels and they stay hole.
    EXPECT_NE(structure.out.find("hole:     860 pixels\npath:     structure\nguides:   38 pixels\n"), std::string::npos)
        << structure.out;
    EXPECT_NE(structure.out.find("unfilled: 0 pixels"), std::string::npos) << structure.out;
    EXPECT_EQ(CountCode(Load(folder / "mask.png").get(), MaskSource), 600 * 400);
    ExpectUnchangedWhere(Load(Sample).get(), Load(folder / "out.png").get(), HolePixels(Load(SampleOverlay).get()));

    const ToolRun patches = Run(files);
    ASSERT_EQ(patches.status, 0) << patches.err;
    const std::string ignored = "guides:   38 pixels, ignored by the patches method\n";
    EXPECT_NE(patches.out.find("path:     patches\n" + ignored), std::string::npos) << patches.out;
    EXPECT_EQ(patches.out.find("guides:"), patches.out.rfind("guides:")) << "said once";
    EXPECT_EQ(patches.err, "");
    // Quiet, the patch method still says what it ignored; the structure method says nothing.
    EXPECT_EQ(Run(files + " --quiet").err, ignored);
    EXPECT_EQ(Run(files + " --quiet --method structure").err, "");
    // Without guides the report has no such line.
    EXPECT_EQ(Run(Quoted(Sample) + " " + Quoted(folder / "plain.png") + " --overlay " + Quoted(SampleOverlay))
                  .out.find("guides:"),
              std::string::npos);
}

TEST_F(CliEndToEnd, SmoothSeamChangesNothingBeyondTheBlendDiscs)
{
    const int patchSize = 12;
    const ToolRun run = Run(Quoted(Sample) + " " + Quoted(folder / "out.png") + " --overlay " +
                            Quoted(SampleOverlay) + " --smooth-seam --quiet --patch-size " +
                            std::to_string(patchSize));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    const BitmapPtr before = Load(Sample);
    const BitmapPtr after = Load(folder / "out.png");
    const BitmapPtr overlay = Load(SampleOverlay);
    // A patch is centred at most one pixel from the hole; its disc reaches half its edge.
    ExpectUnchangedWhere(before.get(), after.get(), Grown(HolePixels(overlay.get()), 600, 400, patchSize / 2 + 1));
}

TEST_F(CliEndToEnd, OutlineLimitsTheSourceArea)
{
    const ToolRun run = Run(Quoted(Sample) + " " + Quoted(folder / "out.png") + " --overlay " +
                            Quoted(QUENLO_TEST_DATA_DIR "/coffee_outlined_overlay.png") + " --save-mask " +
                            Quoted(folder / "mask.png"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("unfilled: 0 pixels"), std::string::npos) << run.out;
    const BitmapPtr mask = Load(folder / "mask.png");
    // The outline is the rectangle from (480, 290) to (590, 380), rows from the top.
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 600; x += 7) {
            const int row = 399 - y;
            const bool inside = x >= 480 && x <= 590 && row >= 290 && row <= 380;
            ASSERT_EQ(ReadMaskValue(mask.get(), x, y), inside ? 255 : 0) << x << ", " << row;
        }
}

TEST_F(CliEndToEnd, OverlayAndMaskRoutesGiveIdenticalBytes)
{
    const BitmapPtr overlay = Load(SampleOverlay);
    const std::vector<bool> hole = HolePixels(overlay.get());
    BitmapPtr holes(FreeImage_Allocate(600, 400, 8));
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 600; ++x)
            WriteMaskValue(holes.get(), x, y, hole[static_cast<std::size_t>(y) * 600 + x] ? 255 : 0);
    WriteOrFail(holes.get(), folder / "holes.png");

    const ToolRun byOverlay = Run(Quoted(Sample) + " " + Quoted(folder / "a.bmp") + " --threads 1 --overlay " +
                                  Quoted(SampleOverlay) + " --save-mask " + Quoted(folder / "a-mask.bmp"));
    const ToolRun byMask = Run(Quoted(Sample) + " " + Quoted(folder / "b.bmp") + " --threads 2 --mask " +
                               Quoted(folder / "holes.png") + " --save-mask " + Quoted(folder / "b-mask.bmp"));
    ASSERT_EQ(byOverlay.status, 0) << byOverlay.err;
    ASSERT_EQ(byMask.status, 0) << byMask.err;
    EXPECT_EQ(ReadText(folder / "a.bmp"), ReadText(folder / "b.bmp"));
    EXPECT_EQ(ReadText(folder / "a-mask.bmp"), ReadText(folder / "b-mask.bmp"));
}

TEST_F(CliEndToEnd, CmykTiffStaysCmyk)
{
    const int width = 48;
    const int height = 40;
    BitmapPtr cmyk(FreeImage_Allocate(width, height, 32));
    BitmapPtr holes(FreeImage_Allocate(width, height, 24));
    std::vector<bool> hole(static_cast<std::size_t>(width) * height, false);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int ink[4] = {(x * 5) % 256, (y * 6) % 256, ((x + y) * 3) % 256, (x * y) % 64};
            WritePixel(cmyk.get(), x, y, ink, 4);
            const bool inHole = x >= 20 && x < 26 && y >= 15 && y < 19;
            hole[static_cast<std::size_t>(y) * width + x] = inHole;
            const int white[4] = {255, 255, 255, 0};
            const int black[4] = {0, 0, 0, 0};
            WritePixel(holes.get(), x, y, inHole ? white : black, 3);
        }
    ASSERT_TRUE(FreeImage_Save(FIF_TIFF, cmyk.get(), (folder / "in.tif").string().c_str(), TIFF_CMYK));
    WriteOrFail(holes.get(), folder / "holes.png");

    const ToolRun run = Run(Quoted(folder / "in.tif") + " " + Quoted(folder / "out.tif") + " --patch-size 5 --mask " +
                            Quoted(folder / "holes.png"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("(CMYK)"), std::string::npos) << run.out;
    const BitmapPtr before = Load(folder / "in.tif");
    const BitmapPtr after = Load(folder / "out.tif");
    ASSERT_EQ(FreeImage_GetColorType(before.get()), FIC_CMYK);
    EXPECT_EQ(FreeImage_GetColorType(after.get()), FIC_CMYK);
    ExpectUnchangedWhere(before.get(), after.get(), hole);

    const ToolRun asPng = Run(Quoted(folder / "in.tif") + " " + Quoted(folder / "out.png") +
                              " --patch-size 5 --quiet --mask " + Quoted(folder / "holes.png"));
    ASSERT_EQ(asPng.status, 0) << asPng.err;
    EXPECT_EQ(FreeImage_GetBPP(Load(folder / "out.png").get()), 24u);
}

TEST_F(CliEndToEnd, BadInputsAreRefusedWithOneLineAndNoOutput)
{
    BitmapPtr small(FreeImage_Allocate(10, 10, 24));
    WriteOrFail(small.get(), folder / "small.png");
    BitmapPtr floats(FreeImage_AllocateT(FIT_FLOAT, 600, 400));
    ASSERT_TRUE(FreeImage_Save(FIF_TIFF, floats.get(), (folder / "float.tif").string().c_str(), TIFF_DEFAULT));
    { std::ofstream(folder / "notes.png") << "not a picture\n"; }

    const std::string overlay = " --overlay " + Quoted(SampleOverlay);
    struct Case {
        std::string what;
        std::string arguments; // OUTPUT is appended
        int status;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"missing input", Quoted(folder / "none.png") + overlay, 2, "none.png: cannot open the file"},
        {"line break in the name", Quoted(folder / "two\nlines.png") + overlay, 2, "two\\nlines.png: cannot open"},
        {"not a picture", Quoted(folder / "notes.png") + overlay, 2, "notes.png: "},
        {"truncated", Quoted(QUENLO_TEST_DATA_DIR "/hostile/truncated.jpg") + overlay, 2, "truncated.jpg: "},
        {"size mismatch", Quoted(Sample) + " --overlay " + Quoted(folder / "small.png"), 2, "same size"},
        {"mask size mismatch", Quoted(Sample) + " --mask " + Quoted(folder / "small.png"), 2, "small.png: "},
        {"unsupported depth", Quoted(folder / "float.tif") + overlay, 2, "float.tif: unsupported pixel type"},
        {"bad number", Quoted(Sample) + overlay + " --patch-size 12abc", 2, "--patch-size: \"12abc\""},
        {"unknown format", Quoted(Sample) + overlay + " --save-mask " + Quoted(folder / "mask.xyz"), 2, "mask.xyz: "},
        {"output is input", Quoted(Sample) + overlay + " --save-mask " + Quoted(Sample), 2, "this is also an input file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path output = folder / "out.png";
        const ToolRun run = Run(c.arguments + " " + Quoted(output));
        EXPECT_EQ(run.status, c.status);
        EXPECT_TRUE(run.err.starts_with("quenlo-inpaint: ")) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(fs::exists(output));
    }
}

// The budget covers the picture and its marks together, and marks whose
// header claims another size are refused before they are decoded: this
// mask's pixel data is garbage the decoder would complain of.
TEST_F(CliEndToEnd, MarksAreCheckedAgainstThePictureAndItsShareOfTheBudget)
{
    BitmapPtr big(FreeImage_Allocate(3000, 3000, 24));
    WriteOrFail(big.get(), folder / "big.png");
    WriteOrFail(big.get(), folder / "big_overlay.png");
    const ToolRun shared = Run(Quoted(folder / "big.png") + " " + Quoted(folder / "out.png") + " --overlay " +
                               Quoted(folder / "big_overlay.png") + " --memory-budget 32");
    EXPECT_EQ(shared.status, 2);
    EXPECT_TRUE(shared.err.starts_with("quenlo-inpaint: " + (folder / "big_overlay.png").string() +
                                       ": the picture needs more than 16 MiB"))
        << shared.err;

    BitmapPtr small(FreeImage_Allocate(40, 30, 8));
    WriteOrFail(small.get(), folder / "small.png");
    std::string bytes = ReadText(folder / "small.png");
    for (std::size_t at = 40; at < bytes.size() - 20; ++at)
        bytes[at] = static_cast<char>(at * 7);
    { std::ofstream(folder / "small.png", std::ios::binary) << bytes; }
    const ToolRun other = Run(Quoted(Sample) + " " + Quoted(folder / "out.png") + " --mask " + Quoted(folder / "small.png"));
    EXPECT_EQ(other.status, 2);
    EXPECT_NE(other.err.find("small.png: the mask is 40 x 30 pixels but"), std::string::npos) << other.err;
    EXPECT_FALSE(fs::exists(folder / "out.png"));
}

TEST_F(CliEndToEnd, OddFilesAreInpaintedInTheirEditableLayoutOrRefusedWithoutOutput)
{
    const fs::path output = folder / "out.tif";
    for (const HostileFile& file : HostileFiles()) {
        SCOPED_TRACE(file.name);
        const std::string path = Quoted(file.Path());
        if (!file.Loads()) {
            // Refused the same way as the picture and as the marks, unless as
            // marks its header's size already differs from the picture's.
            for (const std::string& arguments :
                 {path + " --mask " + Quoted(Sample), Quoted(Sample) + " --mask " + path}) {
                const ToolRun run = Run(arguments + " " + Quoted(output));
                EXPECT_EQ(run.status, 2);
                EXPECT_TRUE(run.err.starts_with("quenlo-inpaint: " + file.Path() + ": ")) << run.err;
                EXPECT_TRUE(run.err.find(file.reason) != std::string::npos ||
                            (arguments.starts_with(Quoted(Sample)) &&
                             run.err.find("; they must be the same size") != std::string::npos))
                    << run.err;
                EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
                EXPECT_EQ(run.out, "");
                EXPECT_FALSE(fs::exists(output));
            }
            continue;
        }
        // One hole pixel in the middle.
        BitmapPtr holes(FreeImage_Allocate(static_cast<int>(file.width), static_cast<int>(file.height), 24));
        const int white[4] = {255, 255, 255, 0};
        WritePixel(holes.get(), static_cast<int>(file.width / 2), static_cast<int>(file.height / 2), white, 3);
        WriteOrFail(holes.get(), folder / "holes.png");
        const ToolRun run = Run(path + " " + Quoted(output) + " --quiet --mask " + Quoted(folder / "holes.png"));
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const BitmapPtr result = Load(output);
        ASSERT_TRUE(result);
        EXPECT_EQ(FreeImage_GetWidth(result.get()), file.width);
        EXPECT_EQ(FreeImage_GetHeight(result.get()), file.height);
        EXPECT_EQ(FreeImage_GetBPP(result.get()), file.bitsPerPixel);
        EXPECT_EQ(FreeImage_GetColorType(result.get()), file.colourType);
        fs::remove(output);
    }
}

TEST_F(CliEndToEnd, UnwritableOutputGivesStatusThreeAndKeepsOldFiles)
{
    const std::string arguments = Quoted(Sample) + " --overlay " + Quoted(SampleOverlay);
    const ToolRun missingFolder = Run(arguments + " " + Quoted(folder / "missing" / "out.png"));
    EXPECT_EQ(missingFolder.status, 3);
    EXPECT_NE(missingFolder.err.find("out.png: cannot create a file in the folder"), std::string::npos)
        << missingFolder.err;
    EXPECT_FALSE(fs::exists(folder / "missing"));

    // An earlier result survives a failed run untouched.
    { std::ofstream(folder / "old.png") << "earlier result"; }
    const ToolRun failed = Run(Quoted(QUENLO_TEST_DATA_DIR "/hostile/truncated.jpg") + " " + Quoted(folder / "old.png") +
                               " --overlay " + Quoted(SampleOverlay));
    EXPECT_EQ(failed.status, 2);
    EXPECT_EQ(ReadText(folder / "old.png"), "earlier result");
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        EXPECT_EQ(entry.path().extension() == ".part", false) << entry.path();
}

TEST_F(CliEndToEnd, OddOutputPathsGiveStatusThreeAndOneLineAndChangeNothing)
{
    const std::string arguments = Quoted(Sample) + " --quiet --overlay " + Quoted(SampleOverlay) + " ";
    const auto expectRefused = [&](const fs::path& output, const std::string& extra, const char* reason) {
        SCOPED_TRACE(output.filename().string().substr(0, 20));
        const ToolRun run = Run(arguments + Quoted(output) + extra);
        EXPECT_EQ(run.status, 3);
        EXPECT_TRUE(run.err.starts_with("quenlo-inpaint: " + output.string() + ": ")) << run.err;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    };
    fs::create_symlink("loop.png", folder / "loop.png");
    expectRefused(folder / "loop.png", "", "symbolic link");
    expectRefused(folder / (std::string(252, 'a') + ".png"), "", "File name too long");

    { std::ofstream(folder / "locked.png") << "earlier result"; }
    fs::permissions(folder / "locked.png", fs::perms::owner_read | fs::perms::group_read);
    expectRefused(folder / "locked.png", "", "the file is read-only");
    EXPECT_EQ(ReadText(folder / "locked.png"), "earlier result");
    // With the mask going nowhere, OUTPUT is not touched either.
    { std::ofstream(folder / "kept.png") << "earlier result"; }
    const ToolRun pair = Run(arguments + Quoted(folder / "kept.png") + " --save-mask " +
                             Quoted(folder / "missing" / "mask.png"));
    EXPECT_EQ(pair.status, 3);
    EXPECT_EQ(ReadText(folder / "kept.png"), "earlier result");

    // Forced, the read-only file is replaced and stays read-only; names up to
    // the limit work; nothing but the results is left in the folder.
    ASSERT_EQ(Run(arguments + Quoted(folder / "locked.png") + " --force").status, 0);
    EXPECT_TRUE(Load(folder / "locked.png"));
    EXPECT_EQ(fs::status(folder / "locked.png").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read);
    fs::permissions(folder / "kept.png", fs::perms::owner_read | fs::perms::owner_write);
    // Owner and group stay too, where the tool may set them (as root).
    const bool mayGiveAway = chown((folder / "kept.png").c_str(), 4321, 8765) == 0;
    const fs::path longest = folder / (std::string(251, 'b') + ".png");
    ASSERT_EQ(Run(arguments + Quoted(longest) + " --save-mask " + Quoted(folder / "kept.png")).status, 0);
    EXPECT_TRUE(Load(longest));
    EXPECT_EQ(fs::status(folder / "kept.png").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    struct stat kept {};
    ASSERT_EQ(stat((folder / "kept.png").c_str(), &kept), 0);
    if (mayGiveAway) {
        EXPECT_EQ(kept.st_uid, 4321u);
        EXPECT_EQ(kept.st_gid, 8765u);
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << entry.path();
}

// Writing through a symbolic link replaces the file it leads to, as cp does:
// the link stays, and the target's read-only bit is honoured.
TEST_F(CliEndToEnd, OutputThroughASymbolicLinkReplacesItsTarget)
{
    const std::string arguments = Quoted(Sample) + " --quiet --overlay " + Quoted(SampleOverlay) + " ";
    fs::create_directory(folder / "kept");
    { std::ofstream(folder / "kept" / "result.png") << "earlier result"; }
    fs::create_symlink("kept/result.png", folder / "link.png");
    ASSERT_EQ(Run(arguments + Quoted(folder / "link.png")).status, 0);
    EXPECT_TRUE(fs::is_symlink(folder / "link.png"));
    EXPECT_EQ(fs::read_symlink(folder / "link.png"), "kept/result.png");
    EXPECT_TRUE(Load(folder / "kept" / "result.png"));

    fs::permissions(folder / "kept" / "result.png", fs::perms::owner_read);
    const ToolRun locked = Run(arguments + Quoted(folder / "link.png"));
    EXPECT_EQ(locked.status, 3);
    EXPECT_NE(locked.err.find("the file is read-only (--force replaces it)"), std::string::npos) << locked.err;
    EXPECT_TRUE(fs::is_symlink(folder / "link.png"));
}

TEST_F(CliEndToEnd, HelpAndVersionExplainThemselves)
{
    const ToolRun help = Run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: quenlo-inpaint INPUT OUTPUT")) << help.out;
    for (const char* option : {"--overlay", "--mask", "--method", "structure", "--patch-size", "--smooth-seam",
                               "--auto-orient", "--threads", "--save-mask", "--quiet", "Exit status", "Example"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    const ToolRun version = Run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("quenlo-inpaint ")) << version.out;
    const ToolRun nothing = Run("");
    EXPECT_EQ(nothing.status, 2);
    EXPECT_NE(nothing.err.find("--help"), std::string::npos) << nothing.err;
}
