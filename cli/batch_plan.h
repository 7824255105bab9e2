// SPDX-License-Identifier: MIT
// Which files a run over many pictures reads and writes.
#pragma once

#include "cli/command_line.h"
#include "cli/exit_status.h"

#include <optional>
#include <string>
#include <vector>

struct BatchItem {
    std::string input;
    std::string marks;   // its mask or overlay
    std::string output;
    std::string problem; // why it cannot be worked on, one line naming the file; empty when it can
    bool skipped = false; // its output exists and is to be left alone
};

// One item per input, in the order given. The folders themselves must be
// usable (the output folder is created when missing); when one is not, the
// whole run is refused through failure.
std::optional<std::vector<BatchItem>> PlanBatch(const CliOptions& options, CliFailure& failure);
