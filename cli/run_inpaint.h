// SPDX-License-Identifier: MIT
// One run of quenlo-inpaint, from checked options to written files.
#pragma once

#include "cli/command_line.h"
#include "cli/exit_status.h"

#include <ostream>

// Prints the summary to out; with options.quiet only what the output lost,
// to err. On failure fills failure.
ExitStatus RunInpaint(const CliOptions& options, std::ostream& out, std::ostream& err, CliFailure& failure);
