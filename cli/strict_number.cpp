// SPDX-License-Identifier: MIT
#include "cli/strict_number.h"

#include <charconv>

std::optional<int> ParseStrictInteger(std::string_view text, int min, int max)
{
    int value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, value);
    if (text.empty() || failure != std::errc() || stop != end || value < min || value > max)
        return std::nullopt;
    return value;
}
