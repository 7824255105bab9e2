// SPDX-License-Identifier: MIT
// The editor's answers to --help and --version, given on the terminal before
// any window opens.
#pragma once

#include <optional>

// The exit status when the arguments ask for information (printed to
// stdout), nothing when the editor should start.
std::optional<int> AnswerInfoRequest(int argc, char** argv);
