// SPDX-License-Identifier: MIT
// Decodes a picture file in a process of its own (the quenlo-decode helper
// beside the program) under a memory budget, a processor-time limit and a
// wall-clock deadline, so that a damaged file costs a refusal, never the
// program.
#pragma once

#include "picture/decode_limits.h"
#include "picture/picture_decoding.h"

#include <string>

constexpr const char* DecoderVariable = "QUENLO_DECODER"; // path of the helper, when not beside the program
constexpr const char* DecoderName = "quenlo-decode";

// Only regular files are read; the reason of every failure is in error.
DecodedPicture DecodeIsolated(const std::string& path, const DecodeLimits& limits);
