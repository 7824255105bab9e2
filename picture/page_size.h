// SPDX-License-Identifier: MIT
// The system's memory page: the unit of mappings, and so of the memory file's
// layout between the decoding helper and the program.
#pragma once

#include <cstdint>
#include <unistd.h>

inline std::uint64_t PageBytes()
{
    static const auto bytes = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
    return bytes;
}
