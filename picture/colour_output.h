// SPDX-License-Identifier: MIT
// Whether a file name's format can take an inpainted colour picture.
#pragma once

#include <string>

// True when path's extension names a format that can be written with 24-bit
// colour, as every inpainted colour picture can be.
bool WritesColourPictures(const std::string& path);
