// SPDX-License-Identifier: MIT
// quenlo-inpaint over many pictures: the same bytes as one run per picture,
// failures kept to their own pictures, and no result replaced unasked.
#include "cli/batch_plan.h"
#include "kernels/pixel_access.h"
#include "picture/bitmap.h"
#include "picture/picture_loader.h"
#include "picture/picture_writer.h"
#include "tool_run.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

extern char** environ;

namespace {

void WriteText(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

class CliBatch : public testing::Test {
protected:
    void SetUp() override
    {
        folder = FreshTestFolder("cli_batch");
        for (const char* sub : {"in", "masks", "out", "single"})
            fs::create_directories(folder / sub);
    }

    ToolRun Run(const std::string& arguments) const { return RunTool(arguments, folder); }

    // A crop of the sample photograph at (left, top) with a rectangle to
    // fill, the mask in the format the extension names.
    void AddPicture(const std::string& name, int left, int top, const std::string& maskExtension) const
    {
        const LoadedPicture sample = LoadPicture(std::string(QUENLO_SAMPLE_DIR) + "/coffee.png");
        ASSERT_TRUE(sample) << sample.error;
        const BitmapPtr crop(FreeImage_Copy(sample.bitmap.get(), left, top, left + 160, top + 120));
        BitmapPtr mask(FreeImage_Allocate(160, 120, 8));
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x)
                WriteMaskValue(mask.get(), x, y, x >= 60 && x < 90 && y >= 40 && y < 70 ? 255 : 0);
        std::string error;
        ASSERT_TRUE(WritePicture(crop.get(), (folder / "in" / (name + ".png")).string(), error)) << error;
        ASSERT_TRUE(WritePicture(mask.get(), (folder / "masks" / (name + maskExtension)).string(), error)) << error;
    }

    // The same crop with an overlay: a removal rectangle and, with guide, a
    // vertical guide line through it and beyond.
    void AddOverlayPicture(const std::string& name, int left, int top, bool guide) const
    {
        AddPicture(name, left, top, ".png");
        fs::create_directories(folder / "overlays");
        BitmapPtr overlay(FreeImage_Allocate(160, 120, 24));
        const int hole[4] = {125, 125, 255, 0};
        const int line[4] = {255, 125, 75, 0};
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x) {
                if (x >= 60 && x < 90 && y >= 40 && y < 70)
                    WritePixel(overlay.get(), x, y, hole, 3);
                if (guide && x == 75 && y >= 30 && y < 80)
                    WritePixel(overlay.get(), x, y, line, 3);
            }
        std::string error;
        ASSERT_TRUE(WritePicture(overlay.get(), (folder / "overlays" / (name + ".png")).string(), error)) << error;
    }

    std::string Batch(const std::string& options) const
    {
        return "--output-dir " + Quoted(folder / "out") + " --mask-dir " + Quoted(folder / "masks") + " " +
               options + " " + Quoted(folder / "in" / "a.png") + " " + Quoted(folder / "in" / "b.png") + " " +
               Quoted(folder / "in" / "c.png");
    }

    // The result of a run on name alone.
    std::string SingleRun(const std::string& name, const std::string& maskExtension,
                          const std::string& options = "") const
    {
        const fs::path output = folder / "single" / (name + ".png");
        const ToolRun run = Run(Quoted(folder / "in" / (name + ".png")) + " " + Quoted(output) + " --quiet --mask " +
                                Quoted(folder / "masks" / (name + maskExtension)) + " " + options);
        EXPECT_EQ(run.status, 0) << run.err;
        return ReadText(output);
    }

    fs::path folder;
};

} // namespace

TEST_F(CliBatch, ThreePicturesGiveTheBytesOfThreeSingleRuns)
{
    AddPicture("a", 0, 0, ".png");
    AddPicture("b", 300, 200, ".bmp");
    AddPicture("c", 440, 280, ".tif");
    const ToolRun run = Run(Batch("--jobs 2"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadText(folder / "out" / "a.png"), SingleRun("a", ".png"));
    EXPECT_EQ(ReadText(folder / "out" / "b.png"), SingleRun("b", ".bmp"));
    EXPECT_EQ(ReadText(folder / "out" / "c.png"), SingleRun("c", ".tif"));
    EXPECT_NE(ReadText(folder / "out" / "a.png"), ReadText(folder / "out" / "b.png"));
}

TEST_F(CliBatch, ABrokenPictureFailsAloneWithStatusFour)
{
    AddPicture("a", 0, 0, ".png");
    AddPicture("c", 440, 280, ".png");
    WriteText(folder / "in" / "b.png", "\x89PNG\r\n\x1a\n cut short");
    WriteText(folder / "masks" / "b.png", "");
    const ToolRun run = Run(Batch(""));
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(ReadText(folder / "out" / "a.png"), SingleRun("a", ".png"));
    EXPECT_EQ(ReadText(folder / "out" / "c.png"), SingleRun("c", ".png"));
    EXPECT_FALSE(fs::exists(folder / "out" / "b.png"));
    // One line for the broken picture, one for the summary.
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2) << run.err;
    EXPECT_NE(run.err.find("b.png"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("1 of 3 pictures failed"), std::string::npos) << run.err;
}

TEST_F(CliBatch, ResultsAreReplacedOnlyWithOverwrite)
{
    AddPicture("a", 0, 0, ".png");
    AddPicture("b", 300, 200, ".png");
    AddPicture("c", 440, 280, ".png");
    WriteText(folder / "out" / "b.png", "kept");
    const ToolRun first = Run(Batch(""));
    EXPECT_EQ(first.status, 4);
    EXPECT_EQ(ReadText(folder / "out" / "b.png"), "kept");
    EXPECT_NE(first.err.find("exists; --overwrite replaces it"), std::string::npos) << first.err;
    EXPECT_TRUE(fs::exists(folder / "out" / "a.png"));

    // Resuming: what exists is left, the rest is done.
    fs::remove(folder / "out" / "c.png");
    const ToolRun resumed = Run(Batch("--skip-existing"));
    EXPECT_EQ(resumed.status, 0) << resumed.err;
    EXPECT_EQ(ReadText(folder / "out" / "b.png"), "kept");
    EXPECT_EQ(ReadText(folder / "out" / "c.png"), SingleRun("c", ".png"));

    const ToolRun again = Run(Batch("--overwrite"));
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(ReadText(folder / "out" / "b.png"), SingleRun("b", ".png"));
}

TEST_F(CliBatch, MethodForceAndMemoryBudgetReachEveryPicture)
{
    AddPicture("a", 0, 0, ".png");
    AddPicture("b", 300, 200, ".png");
    AddPicture("c", 440, 280, ".png");
    const ToolRun run = Run(Batch("--method structure --jobs 2"));
    ASSERT_EQ(run.status, 0) << run.err;
    for (const std::string name : {"a", "b", "c"})
        EXPECT_EQ(ReadText(folder / "out" / (name + ".png")), SingleRun(name, ".png", "--method structure")) << name;

    // A read-only result is replaced only when --force says so.
    WriteText(folder / "out" / "b.png", "kept");
    fs::permissions(folder / "out" / "b.png", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const ToolRun unforced = Run(Batch("--overwrite"));
    EXPECT_EQ(unforced.status, 4);
    EXPECT_NE(unforced.err.find("read-only"), std::string::npos) << unforced.err;
    EXPECT_EQ(ReadText(folder / "out" / "b.png"), "kept");
    const ToolRun forced = Run(Batch("--overwrite --force"));
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(ReadText(folder / "out" / "b.png"), SingleRun("b", ".png"));

    // 3000 x 2000 pixels take 18 MiB to decode.
    const BitmapPtr big(FreeImage_Allocate(3000, 2000, 24));
    const BitmapPtr bigMask(FreeImage_Allocate(3000, 2000, 8));
    WriteMaskValue(bigMask.get(), 10, 10, 255);
    std::string error;
    ASSERT_TRUE(WritePicture(big.get(), (folder / "in" / "big.png").string(), error)) << error;
    ASSERT_TRUE(WritePicture(bigMask.get(), (folder / "masks" / "big.png").string(), error)) << error;
    const ToolRun budget = Run("--output-dir " + Quoted(folder / "out") + " --mask-dir " + Quoted(folder / "masks") +
                               " --memory-budget 16 " + Quoted(folder / "in" / "big.png"));
    EXPECT_EQ(budget.status, 4);
    EXPECT_NE(budget.err.find("needs more than 16 MiB"), std::string::npos) << budget.err;
    EXPECT_FALSE(fs::exists(folder / "out" / "big.png"));
}

TEST_F(CliBatch, GuidesReachEveryPictureAndTheirNoticeIsSaidOnce)
{
    AddOverlayPicture("a", 0, 0, true);
    AddOverlayPicture("b", 300, 200, true);
    AddOverlayPicture("c", 440, 280, false);
    const std::string inputs = Quoted(folder / "in" / "a.png") + " " + Quoted(folder / "in" / "b.png") + " " +
                               Quoted(folder / "in" / "c.png");
    const std::string batch = "--output-dir " + Quoted(folder / "out") + " --overlay-dir " +
                              Quoted(folder / "overlays") + " --overwrite ";
    const ToolRun patches = Run(batch + inputs);
    ASSERT_EQ(patches.status, 0) << patches.err;
    EXPECT_EQ(patches.err, "quenlo-inpaint: the guide lines of 2 pictures were ignored by the patches method\n");

    const ToolRun structure = Run(batch + "--method structure " + inputs);
    ASSERT_EQ(structure.status, 0) << structure.err;
    EXPECT_EQ(structure.err, "");
    const fs::path single = folder / "single" / "a.png";
    const ToolRun alone = Run(Quoted(folder / "in" / "a.png") + " " + Quoted(single) +
                              " --quiet --method structure --overlay " + Quoted(folder / "overlays" / "a.png"));
    ASSERT_EQ(alone.status, 0) << alone.err;
    EXPECT_EQ(ReadText(folder / "out" / "a.png"), ReadText(single));
}

TEST_F(CliBatch, PlanFindsMarksByNameAndRefusesClashes)
{
    WriteText(folder / "masks" / "photo.png", "");
    WriteText(folder / "masks" / "twice.png", "");
    WriteText(folder / "masks" / "twice.tif", "");
    CliOptions options;
    options.outputDir = (folder / "out").string();
    options.maskDir = (folder / "masks").string();
    options.inputs = {"shoot/photo.jpg", "other/photo.jpg", "anim.gif", "twice.png", (folder / "masks" / "photo.png").string()};
    WriteText(folder / "masks" / "anim.tif", "");
    CliFailure failure;
    const std::optional<std::vector<BatchItem>> items = PlanBatch(options, failure);
    ASSERT_TRUE(items) << failure.message;
    ASSERT_EQ(items->size(), 5U);
    EXPECT_EQ((*items)[0].marks, (folder / "masks" / "photo.png").string());
    EXPECT_EQ((*items)[0].output, (folder / "out" / "photo.jpg").string());
    EXPECT_EQ((*items)[0].problem, "");
    EXPECT_NE((*items)[1].problem.find("same name as that of shoot/photo.jpg"), std::string::npos);
    // GIF holds no 24-bit colour: the result becomes a TIFF file.
    EXPECT_EQ((*items)[2].output, (folder / "out" / "anim.tif").string());
    EXPECT_NE((*items)[3].problem.find("more than one mask named twice.*"), std::string::npos);
    // A picture is never its own mask.
    EXPECT_NE((*items)[4].problem.find("no mask named photo.*"), std::string::npos) << (*items)[4].problem;

    options.maskDir = (folder / "missing").string();
    EXPECT_FALSE(PlanBatch(options, failure));
    EXPECT_EQ(failure.status, ExitBadInput);
}

TEST_F(CliBatch, CtrlCFinishesThePicturesUnderWayAndStartsNoMore)
{
    const std::vector<std::string> names = {"a", "b", "c", "d", "e", "f"};
    for (const std::string& name : names)
        AddPicture(name, 0, 0, ".png");
    const std::string tool = QUENLO_INPAINT_TOOL;
    std::vector<std::string> arguments = {tool, "--output-dir", (folder / "out").string(), "--mask-dir",
                                          (folder / "masks").string(), "--jobs", "1"};
    for (const std::string& name : names)
        arguments.push_back((folder / "in" / (name + ".png")).string());
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, (folder / "stderr.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t driver = 0;
    ASSERT_EQ(posix_spawn(&driver, tool.c_str(), &files, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&files);
    // The first worker starts only once the driver listens for Ctrl+C; its
    // scratch file or result is the sign.
    while (fs::is_empty(folder / "out"))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    kill(driver, SIGINT);
    int raw = 0;
    ASSERT_EQ(waitpid(driver, &raw, 0), driver);
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 130) << ReadText(folder / "stderr.txt");
    // The picture under way was finished whole; the ones after it, but for
    // any that began before the signal came, were never started.
    std::set<std::string> left;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder / "out"))
        left.insert(entry.path().filename().string());
    ASSERT_FALSE(left.empty());
    EXPECT_LT(left.size(), names.size());
    const std::string expected = SingleRun("a", ".png");
    for (std::size_t i = 0; i < left.size(); ++i) {
        ASSERT_TRUE(left.contains(names[i] + ".png")) << names[i];
        EXPECT_EQ(ReadText(folder / "out" / (names[i] + ".png")), expected) << names[i];
    }
}
