// SPDX-License-Identifier: MIT
// The photographs bench/photos.sh makes for the whole-path benchmarks.
#pragma once

#include <string>

// Where bench/photos.sh put them: $QUENLO_BENCH_PHOTOS, or build/bench-photos.
std::string PhotoFolder();

// photoN.jpg, maskN.png or overlayN.png for N megapixels (6, 12 or 24);
// throws with a hint to run bench/photos.sh when the file is missing.
std::string PhotoFile(const std::string& kind, long long megapixels);
