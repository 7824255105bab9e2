// SPDX-License-Identifier: MIT
// A run over many pictures: each one is handed to a run of this program on
// that one picture, so it is read, checked and written exactly as alone.
#pragma once

#include "cli/command_line.h"
#include "cli/exit_status.h"

#include <ostream>

// program is this executable (argv[0] when the system cannot say better).
// Failures get one line each on err and a summary; out gets the summary of
// a run without failures unless options.quiet; a terminal on stderr gets a
// progress line.
ExitStatus RunBatch(const CliOptions& options, const char* program, std::ostream& out, std::ostream& err);
