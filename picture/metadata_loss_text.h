// SPDX-License-Identifier: MIT
// How both programs tell the user which metadata a written file lacks.
#pragma once

#include <string>
#include <vector>

// "metadata: not written to OUTPUT: EXIF, comments"; empty when nothing is
// missing.
std::string MetadataLossText(const std::string& output, const std::vector<std::string>& kinds);
