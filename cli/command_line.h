// SPDX-License-Identifier: MIT
// The arguments of quenlo-inpaint.
#pragma once

#include "picture/picture_writer.h"
#include "structure/fill_method.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr int DefaultPatchSize = 32;
constexpr int MaxThreads = 256;
constexpr int MaxScanMargin = 1 << 20;

struct CliOptions {
    // One picture: INPUT OUTPUT.
    std::string input;
    std::string output;
    std::string overlay;  // the strokes picture, or empty
    std::string mask;     // the hole picture, or empty; exactly one of the two is set
    std::string saveMask; // where the final mask codes go, or empty
    FillMethod method = FillMethod::Patches;
    int patchSize = DefaultPatchSize;
    bool smoothSeam = false;
    bool autoOrient = false; // turn INPUT upright by its EXIF orientation; the marks are for the upright picture
    int threads = 0;    // 0: as many as the machine offers
    int scanMargin = 0; // pixels the scan rectangle grows by on every side
    bool quiet = false;

    // Many pictures (--output-dir given): every INPUT gets its mask or
    // overlay of the same base name and an output of that name in outputDir.
    std::vector<std::string> inputs;
    std::string outputDir;
    std::string maskDir;    // exactly one of the two is set
    std::string overlayDir;
    std::string format;     // output extension without the dot, or empty: the input's
    bool overwrite = false; // replace outputs that exist
    bool skipExisting = false; // leave outputs that exist, and their pictures, alone
    int jobs = 0;           // pictures at once; 0: one per core
    bool eightBitOutput = false; // --depth 8: write 8 bits per channel whatever the input has
    int jpegQuality = DefaultJpegQuality;
    bool force = false;              // replace read-only outputs
    std::uint64_t memoryBudget = 0;  // bytes a picture may take to decode; 0: the default
};

enum class CliAction { Run, RunBatch, ShowHelp, ShowVersion, Refuse };

struct ParsedCommandLine {
    CliAction action = CliAction::Refuse;
    CliOptions options;
    std::string error; // for Refuse: what is wrong, one line
};

// arguments without the program name.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

std::string HelpText();
std::string VersionText();
