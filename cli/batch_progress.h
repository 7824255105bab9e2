// SPDX-License-Identifier: MIT
// The progress line of a run over many pictures.
#pragma once

#include <cstddef>
#include <string>

// "7/20 pictures, 0:12 elapsed, about 0:22 left"; the estimate appears once
// a picture is done.
std::string ProgressLine(std::size_t done, std::size_t total, double seconds);

// m:ss, or h:mm:ss from an hour on.
std::string ClockText(double seconds);
