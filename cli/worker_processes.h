// SPDX-License-Identifier: MIT
// Runs one program many times, a few processes at once: the engine keeps
// process-wide tables, so pictures are worked on side by side only in
// processes of their own.
#pragma once

#include <csignal>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

struct FinishedWorker {
    std::size_t index = 0; // into the argument lists
    int status = 0;        // the exit status, or 128 + the signal that ended it
    std::string errors;    // what it wrote to stderr
};

struct WorkerCallbacks {
    std::function<void(const FinishedWorker&)> finished;
    std::function<void()> tick; // about once a second while workers run
};

// The status of a worker that could not be started, as a shell gives it.
constexpr int ExitCannotStart = 127;

// Runs program with each argument list, at most parallel at once, and
// reports each as it ends. *stop counts requests to stop (from a signal
// handler, which also writes a byte to the non-blocking wakeFd): after the
// first no more are started and the running ones may finish; after the
// second those are asked to end with SIGTERM. Lists never started are not
// reported. Standard output of the workers is discarded.
void RunWorkers(const std::string& program, const std::vector<std::vector<std::string>>& argumentLists,
                int parallel, const WorkerCallbacks& callbacks, const volatile std::sig_atomic_t* stop, int wakeFd);
