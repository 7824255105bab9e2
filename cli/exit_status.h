// SPDX-License-Identifier: MIT
// What quenlo-inpaint tells the shell.
#pragma once

#include <string>

enum ExitStatus : int {
    ExitDone = 0,
    ExitBadInput = 2,     // bad usage, or an input that cannot be read or used
    ExitWriteFailed = 3,  // an output could not be written
};

// A run that stopped: the status to exit with and the line for stderr.
struct CliFailure {
    ExitStatus status = ExitBadInput;
    std::string message;
};
