// SPDX-License-Identifier: MIT
#include "cli/one_line.h"

std::string OneLine(std::string_view text)
{
    static constexpr char Hex[] = "0123456789abcdef";
    std::string line;
    line.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\n')
            line += "\\n";
        else if (byte == '\r')
            line += "\\r";
        else if (byte == '\t')
            line += "\\t";
        else if (byte < 0x20 || byte == 0x7f)
            line += {'\\', 'x', Hex[byte >> 4], Hex[byte & 15]};
        else
            line += c;
    }
    return line;
}
