// SPDX-License-Identifier: MIT
// What quenlo-inpaint tells the shell.
#pragma once

#include <string>

enum ExitStatus : int {
    ExitDone = 0,
    ExitBadInput = 2,     // bad usage, or an input that cannot be read or used
    ExitWriteFailed = 3,  // an output could not be written
    ExitSomeFailed = 4,   // a run over many pictures had failures
    ExitInterrupted = 130, // stopped by Ctrl+C or a termination signal
};

// A run that stopped: the status to exit with and the line for stderr.
struct CliFailure {
    ExitStatus status = ExitBadInput;
    std::string message;
};
