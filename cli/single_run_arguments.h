// SPDX-License-Identifier: MIT
// The command line of one run on one picture, built from its options.
#pragma once

#include "cli/command_line.h"

#include <string>
#include <vector>

// Arguments (without the program name) that ParseCommandLine reads back as
// options: every single-picture option that differs from its default is
// given, and INPUT and OUTPUT come last after "--".
std::vector<std::string> SingleRunArguments(const CliOptions& options);
