// SPDX-License-Identifier: MIT
// Reads and checks what a run needs and builds its job.
#pragma once

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "engine/inpaint_job.h"
#include "picture/bitmap.h"

#include <optional>

struct PreparedJob {
    BitmapPtr picture; // the target: filled in place
    BitmapPtr mask;
    InpaintJob job;
};

// Loads INPUT and the overlay or mask picture, checks that they fit each
// other and the output names, and builds the job; on failure says which
// file is at fault and why.
std::optional<PreparedJob> PrepareJob(const CliOptions& options, CliFailure& failure);
