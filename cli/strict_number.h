// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string_view>

// text as a decimal integer in min..max; nothing when it has anything else
// in it (signs other than a leading minus, spaces, trailing characters) or
// lies out of range.
std::optional<int> ParseStrictInteger(std::string_view text, int min, int max);
