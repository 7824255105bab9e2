// SPDX-License-Identifier: MIT
// The files of tests/data/hostile and what loading each must give, shared by
// the loader, command-line and canvas tests.
#pragma once

#include <FreeImage.h>

#include <string>
#include <vector>

struct HostileFile {
    const char* name;
    // For a file that loads: the editable layout it becomes.
    unsigned width = 0;
    unsigned height = 0;
    unsigned bitsPerPixel = 0;
    FREE_IMAGE_COLOR_TYPE colourType = FIC_RGB;
    // For a file that is refused: a part of the reason given.
    const char* reason = nullptr;

    bool Loads() const { return reason == nullptr; }
    std::string Path() const;
};

const std::vector<HostileFile>& HostileFiles();
