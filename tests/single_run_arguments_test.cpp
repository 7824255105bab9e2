// SPDX-License-Identifier: MIT
#include "cli/single_run_arguments.h"

#include <gtest/gtest.h>

namespace {

void ExpectSameSingleRun(const CliOptions& a, const CliOptions& b)
{
    EXPECT_EQ(a.input, b.input);
    EXPECT_EQ(a.output, b.output);
    EXPECT_EQ(a.overlay, b.overlay);
    EXPECT_EQ(a.mask, b.mask);
    EXPECT_EQ(a.saveMask, b.saveMask);
    EXPECT_EQ(a.method, b.method);
    EXPECT_EQ(a.patchSize, b.patchSize);
    EXPECT_EQ(a.smoothSeam, b.smoothSeam);
    EXPECT_EQ(a.threads, b.threads);
    EXPECT_EQ(a.scanMargin, b.scanMargin);
    EXPECT_EQ(a.quiet, b.quiet);
    EXPECT_EQ(a.eightBitOutput, b.eightBitOutput);
    EXPECT_EQ(a.autoOrient, b.autoOrient);
    EXPECT_EQ(a.jpegQuality, b.jpegQuality);
    EXPECT_EQ(a.force, b.force);
    EXPECT_EQ(a.memoryBudget, b.memoryBudget);
}

} // namespace

// Parse, build and parse again: each single-picture option, alone and all
// together, survives, so a batch worker runs as the user asked.
TEST(SingleRunArguments, ParseBuildParseKeepsEveryOption)
{
    const std::vector<std::string> base = {"--", "-in=1.png", "-out.tif"};
    const std::vector<std::vector<std::string>> options = {
        {"--overlay=strokes=1.png"}, {"--mask", "-holes.png"}, {"--save-mask=codes.png"},
        {"--method=structure"},      {"--patch-size=15"},      {"--smooth-seam"},
        {"--threads=3"},             {"--scan-margin=40"},     {"--quiet"},
        {"--depth=8"},               {"--depth=16"},           {"--quality=77"},
        {"--force"},                 {"--memory-budget=300"},  {"--auto-orient"},
    };
    std::vector<std::string> everything;
    for (const std::vector<std::string>& option : options)
        if (option[0] != "--overlay=strokes=1.png" && option[0] != "--depth=16")
            everything.insert(everything.end(), option.begin(), option.end());

    std::vector<std::vector<std::string>> lines;
    for (const std::vector<std::string>& option : options) {
        lines.push_back(option);
        if (option[0].rfind("--overlay", 0) != 0 && option[0] != "--mask")
            lines.back().push_back("--mask=holes.png");
    }
    lines.push_back(everything);
    for (std::vector<std::string> line : lines) {
        line.insert(line.end(), base.begin(), base.end());
        const ParsedCommandLine first = ParseCommandLine(line);
        ASSERT_EQ(first.action, CliAction::Run) << line[0] << ": " << first.error;
        const ParsedCommandLine second = ParseCommandLine(SingleRunArguments(first.options));
        ASSERT_EQ(second.action, CliAction::Run) << line[0] << ": " << second.error;
        SCOPED_TRACE(line[0]);
        ExpectSameSingleRun(first.options, second.options);
    }
}
