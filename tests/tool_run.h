// SPDX-License-Identifier: MIT
// Runs quenlo-inpaint as a user would, with its output kept in a folder of
// the test's own.
#pragma once

#include <filesystem>
#include <string>

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// The path in single quotes, for a shell command line.
std::string Quoted(const std::filesystem::path& path);

std::string ReadText(const std::filesystem::path& path);

// A new empty folder named after the running test, under group.
std::filesystem::path FreshTestFolder(const std::string& group);

// The tool with arguments (quoted already); stdout and stderr go through files in folder.
ToolRun RunTool(const std::string& arguments, const std::filesystem::path& folder);
