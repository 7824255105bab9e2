// SPDX-License-Identifier: MIT
// The two ways of filling a hole, as both programs offer them.
#pragma once

#include "structure/structure_fill.h"

#include <optional>
#include <string_view>

enum class FillMethod {
    Patches,   // the exemplar engine, point by point: the default
    Structure, // one offset per region, chosen jointly
};

// "patches" or "structure": the names the command line and the report use.
std::string_view FillMethodName(FillMethod method);
std::optional<FillMethod> FillMethodNamed(std::string_view name);

// Runs the method on the job; copied is filled and guides are followed by
// the structure method only.
InpaintOutcome RunFill(FillMethod method, const InpaintJob& job, std::vector<CopiedPixel>* copied = nullptr,
                       const GuideMap* guides = nullptr);
