// SPDX-License-Identifier: MIT
#include "tool_run.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

std::string Quoted(const fs::path& path)
{
    return "'" + path.string() + "'";
}

std::string ReadText(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

fs::path FreshTestFolder(const std::string& group)
{
    const fs::path folder =
        fs::path(QUENLO_TEST_OUTPUT_DIR) / group / testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

ToolRun RunTool(const std::string& arguments, const fs::path& folder)
{
    const std::string command = Quoted(QUENLO_INPAINT_TOOL) + " " + arguments + " >" +
                                Quoted(folder / "stdout.txt") + " 2>" + Quoted(folder / "stderr.txt");
    const int raw = std::system(command.c_str());
    ToolRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadText(folder / "stdout.txt");
    run.err = ReadText(folder / "stderr.txt");
    return run;
}
