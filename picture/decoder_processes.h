// SPDX-License-Identifier: MIT
// Decoding processes, started when asked for or, in a program that keeps one
// spare, one ahead of need, so that loading the helper and FreeImage's
// libraries happens while the program does something else.
#pragma once

#include <optional>
#include <string>
#include <sys/types.h>

struct DecoderProcess {
    pid_t pid = -1;
    int socket = -1;    // where its one request goes; the taker closes it
    bool spare = false; // started ahead: it may have died waiting
};

// A process of helper waiting for its request: the one started ahead when
// there is one, else one started now; nothing, with error set, when none
// can be started.
std::optional<DecoderProcess> TakeDecoderProcess(const std::string& helper, std::string& error);
// From now on one process is kept waiting for the next taker; the first starts now.
void KeepSpareDecoderProcess(const std::string& helper);
// Starts the next taker's process when one is kept and none waits.
void ReplaceSpareDecoderProcess(const std::string& helper);
// A process that is done and ending, reaped once it has ended, without
// waiting for it.
void ReapDecoderProcessLater(pid_t pid);
