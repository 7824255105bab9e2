// SPDX-License-Identifier: MIT
// The benchmark cases of the shared folder, prepared as the editor prepares
// a Paint: picture, overlay buffer and a fresh mask per run.
#pragma once

#include "engine/inpaint_job.h"
#include "picture/bitmap.h"

#include <cstdint>
#include <string>
#include <vector>

struct BenchCase {
    std::string name;
    BitmapPtr picture;
    std::vector<uint8_t> overlay;
    int width = 0;
    int height = 0;
};

// The case names, in the order of the shared folder's table.
const std::vector<std::string>& BenchCaseNames();

// Loads NAME_orig.png and NAME_overlay.png from the shared bench folder.
BenchCase LoadBenchCase(const std::string& name);

// A job on a fresh copy of the case's picture and a new mask, built from the
// overlay; picture and mask are returned through the out parameters.
InpaintJob PrepareBenchJob(const BenchCase& benchCase, int patchSize, BitmapPtr& picture, BitmapPtr& mask);

// FNV-1a 64 over the picture's and the mask's pixel bytes.
uint64_t HashResult(FIBITMAP* picture, FIBITMAP* mask);
