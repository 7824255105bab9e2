// SPDX-License-Identifier: MIT
// Error lines that stay one line whatever the file names in them hold.
#pragma once

#include <string>
#include <string_view>

// text with its control characters written as \n, \r, \t or \xNN, so that
// a file name with a line break cannot split an error line in two.
std::string OneLine(std::string_view text);
