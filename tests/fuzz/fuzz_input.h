// SPDX-License-Identifier: MIT
// Reads the fuzzer's bytes as a stream of small values; past the end every
// read gives 0, so any input is a valid job.
#pragma once

#include <cstddef>
#include <cstdint>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, std::size_t size)
        : m_data(data), m_size(size)
    {
    }

    uint8_t Byte() { return m_position < m_size ? m_data[m_position++] : 0; }

    // A value from lo to hi inclusive.
    int Range(int lo, int hi)
    {
        const unsigned span = static_cast<unsigned>(hi - lo) + 1;
        const unsigned raw = static_cast<unsigned>(Byte()) << 8 | Byte();
        return lo + static_cast<int>(raw % span);
    }

private:
    const uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
};
