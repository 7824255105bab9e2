// SPDX-License-Identifier: MIT
// Why FreeImage refuses a TIFF file whose sample format it has no pixel type
// for: it says only that memory could not be allocated.
#pragma once

#include <string>

// "unsupported pixel type: ..." when the first directory of the TIFF file at
// path declares signed, complex or untyped samples; empty otherwise.
std::string TiffSampleProblem(const std::string& path);
