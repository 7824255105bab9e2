// SPDX-License-Identifier: MIT
// Reads and checks what a run needs and builds its job.
#pragma once

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "engine/inpaint_job.h"
#include "picture/bitmap.h"
#include "structure/structure_fill.h"

#include <optional>
#include <string>

struct PreparedJob {
    BitmapPtr picture;   // the target: filled in place
    BitmapPtr fullDepth; // the picture at 16 bits per channel, or null
    BitmapPtr mask;
    InpaintJob job;
    GuideMap guides; // the overlay's guide lines; empty without any
    FREE_IMAGE_FORMAT inputFormat = FIF_UNKNOWN;
    std::string inputDepth; // as read, before any --depth 8
};

// Loads INPUT and the overlay or mask picture, checks that they fit each
// other, the output names and the output's depth, and builds the job; on failure says which
// file is at fault and why.
std::optional<PreparedJob> PrepareJob(const CliOptions& options, CliFailure& failure);

// A reason for not writing a file, with the option that overrides it where
// there is one (the library's reasons name no command-line option).
std::string WithOptionHint(const std::string& reason);
