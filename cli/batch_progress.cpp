// SPDX-License-Identifier: MIT
#include "cli/batch_progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

std::string ClockText(double seconds)
{
    const long long whole = std::llround(std::max(seconds, 0.0));
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

std::string ProgressLine(std::size_t done, std::size_t total, double seconds)
{
    std::string line = std::to_string(done) + "/" + std::to_string(total) + " pictures, " + ClockText(seconds) +
                       " elapsed";
    if (done > 0 && done < total)
        line += ", about " + ClockText(seconds / static_cast<double>(done) * static_cast<double>(total - done)) +
                " left";
    return line;
}
