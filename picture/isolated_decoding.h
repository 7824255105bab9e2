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

// From now on a decoding process is kept started for the next picture, so
// that its start overlaps what the program does meanwhile: for a program
// that opens pictures now and then, called once at its start.
void KeepPictureDecoderReady();

// Only regular files are read; the reason of every failure is in error.
DecodedPicture DecodeIsolated(const std::string& path, const DecodeLimits& limits);
