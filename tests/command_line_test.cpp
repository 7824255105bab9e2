// SPDX-License-Identifier: MIT
#include "cli/command_line.h"
#include "cli/strict_number.h"

#include <gtest/gtest.h>

TEST(ParseStrictInteger, TakesPlainDecimalsInRangeOnly)
{
    EXPECT_EQ(ParseStrictInteger("32", 3, 128), 32);
    EXPECT_EQ(ParseStrictInteger("3", 3, 128), 3);
    EXPECT_EQ(ParseStrictInteger("128", 3, 128), 128);
    for (const char* bad : {"", "2", "129", "-5", "+7", " 7", "7 ", "7px", "0x10", "1e2", "3.5", "99999999999"})
        EXPECT_EQ(ParseStrictInteger(bad, 3, 128), std::nullopt) << '"' << bad << '"';
}

TEST(ParseCommandLine, ReadsEveryOptionInAnyOrder)
{
    const ParsedCommandLine parsed =
        ParseCommandLine({"--patch-size", "15", "in.png", "--smooth-seam", "--overlay=strokes.png", "out.tif",
                          "--threads", "2", "--save-mask", "mask.png", "--quiet", "--method", "structure"});
    ASSERT_EQ(parsed.action, CliAction::Run) << parsed.error;
    const CliOptions& options = parsed.options;
    EXPECT_EQ(options.input, "in.png");
    EXPECT_EQ(options.output, "out.tif");
    EXPECT_EQ(options.overlay, "strokes.png");
    EXPECT_TRUE(options.mask.empty());
    EXPECT_EQ(options.saveMask, "mask.png");
    EXPECT_EQ(options.method, FillMethod::Structure);
    EXPECT_EQ(options.patchSize, 15);
    EXPECT_TRUE(options.smoothSeam);
    EXPECT_EQ(options.threads, 2);
    EXPECT_TRUE(options.quiet);

    const ParsedCommandLine defaults = ParseCommandLine({"in.png", "out.png", "--mask", "holes.png"});
    ASSERT_EQ(defaults.action, CliAction::Run) << defaults.error;
    EXPECT_EQ(defaults.options.method, FillMethod::Patches);
    EXPECT_EQ(defaults.options.patchSize, 32);
    EXPECT_FALSE(defaults.options.smoothSeam);
    EXPECT_EQ(defaults.options.threads, 0);
}

TEST(ParseCommandLine, RefusesWhatItCannotUse)
{
    const std::vector<std::vector<std::string>> refused = {
        {"in.png", "out.png"},                                        // nothing to remove
        {"in.png", "--overlay", "a.png"},                             // no output
        {"in.png", "out.png", "extra.png", "--mask", "m.png"},        // one file too many
        {"in.png", "out.png", "--mask", "m.png", "--overlay", "a.png"}, // both routes
        {"in.png", "out.png", "--mask"},                              // value missing
        {"in.png", "out.png", "--mask", "m.png", "--patch-size", "2"},
        {"in.png", "out.png", "--mask", "m.png", "--patch-size", "32x"},
        {"in.png", "out.png", "--mask", "m.png", "--threads", "0"},
        {"in.png", "out.png", "--mask", "m.png", "--quiet=yes"},
        {"in.png", "out.png", "--mask", "m.png", "--colour"},
        {"in.png", "out.png", "--mask", "m.png", "--method"},
        {"in.png", "out.png", "--mask", "m.png", "--method", "Structure"},
        {"in.png", "out.png", "--mask", "m.png", "--method="},
    };
    for (const std::vector<std::string>& arguments : refused) {
        const ParsedCommandLine parsed = ParseCommandLine(arguments);
        EXPECT_EQ(parsed.action, CliAction::Refuse) << arguments.back();
        EXPECT_FALSE(parsed.error.empty());
    }
    EXPECT_EQ(ParseCommandLine({"in.png", "out.png", "--mask", "m.png", "--patch-size", "x"}).error,
              "--patch-size: \"x\" is not a whole number from 3 to 128");
    EXPECT_EQ(ParseCommandLine({"in.png", "out.png", "--mask", "m.png", "--method=fast"}).error,
              "--method: \"fast\" is not patches or structure");
    EXPECT_EQ(ParseCommandLine({"in.png", "out.png", "--mask", "m.png", "--method=patches"}).options.method,
              FillMethod::Patches);
}

TEST(ParseCommandLine, HelpAndVersionWinOverEverythingElse)
{
    EXPECT_EQ(ParseCommandLine({"--bogus", "--help"}).action, CliAction::ShowHelp);
    EXPECT_EQ(ParseCommandLine({"-h"}).action, CliAction::ShowHelp);
    EXPECT_EQ(ParseCommandLine({"--version"}).action, CliAction::ShowVersion);
    // After "--" everything is a file name.
    const ParsedCommandLine files = ParseCommandLine({"--mask", "m.png", "--", "--help", "-out.png"});
    ASSERT_EQ(files.action, CliAction::Run) << files.error;
    EXPECT_EQ(files.options.input, "--help");
    EXPECT_EQ(files.options.output, "-out.png");
}

TEST(ParseCommandLine, OutputFolderStartsARunOverManyPictures)
{
    const ParsedCommandLine parsed = ParseCommandLine(
        {"--output-dir", "out", "--mask-dir=masks", "--format", ".tif", "--jobs", "3", "--overwrite", "--method",
         "structure", "a.jpg", "b.png"});
    ASSERT_EQ(parsed.action, CliAction::RunBatch) << parsed.error;
    EXPECT_EQ(parsed.options.inputs, (std::vector<std::string>{"a.jpg", "b.png"}));
    EXPECT_EQ(parsed.options.outputDir, "out");
    EXPECT_EQ(parsed.options.maskDir, "masks");
    EXPECT_EQ(parsed.options.format, "tif");
    EXPECT_EQ(parsed.options.jobs, 3);
    EXPECT_TRUE(parsed.options.overwrite);
    EXPECT_EQ(parsed.options.method, FillMethod::Structure);

    const std::vector<std::vector<std::string>> refused = {
        {"--output-dir", "out", "a.jpg"},                                             // nothing to remove
        {"--output-dir", "out", "--mask-dir", "m", "--overlay-dir", "o", "a.jpg"},    // both routes
        {"--output-dir", "out", "--mask-dir", "m"},                                   // no pictures
        {"--output-dir", "out", "--mask", "m.png", "a.jpg"},                          // one mask for all
        {"--output-dir", "out", "--mask-dir", "m", "--format", "gif", "a.jpg"},       // no colour GIF
        {"--output-dir", "out", "--mask-dir", "m", "--format", "xyz", "a.jpg"},
        {"--output-dir", "out", "--mask-dir", "m", "--jobs", "0", "a.jpg"},
        {"in.png", "out.png", "--mask", "m.png", "--overwrite"},                      // one picture
        {"in.png", "out.png", "--mask-dir", "m"},
        {"--output-dir", "out", "--mask-dir", "m", "--overwrite", "--skip-existing", "a.jpg"},
    };
    for (const std::vector<std::string>& arguments : refused) {
        const ParsedCommandLine result = ParseCommandLine(arguments);
        EXPECT_EQ(result.action, CliAction::Refuse) << arguments.back();
        EXPECT_FALSE(result.error.empty());
    }
}
