// SPDX-License-Identifier: MIT
// Sequential reading of file headers and their fixed-width numbers, for the
// readers of claimed picture sizes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

// Reads a file front to back; every read past the end fails.
class HeaderReader {
public:
    explicit HeaderReader(const std::string& path) : m_file(path, std::ios::binary) {}

    bool Read(uint8_t* bytes, std::size_t count)
    {
        m_file.read(reinterpret_cast<char*>(bytes), static_cast<std::streamsize>(count));
        return m_file.gcount() == static_cast<std::streamsize>(count);
    }

    // The next byte, or -1 at the end.
    int Byte()
    {
        uint8_t byte = 0;
        return Read(&byte, 1) ? byte : -1;
    }

    // Seeking does not notice the end of the file; the next read does.
    bool Skip(long long count)
    {
        m_file.seekg(static_cast<std::streamoff>(count), std::ios::cur);
        return static_cast<bool>(m_file);
    }

private:
    std::ifstream m_file;
};

inline long long Little16(const uint8_t* bytes) { return bytes[0] | bytes[1] << 8; }
inline long long Big16(const uint8_t* bytes) { return bytes[0] << 8 | bytes[1]; }

inline long long Little32(const uint8_t* bytes)
{
    return static_cast<long long>(bytes[0]) | static_cast<long long>(bytes[1]) << 8 |
           static_cast<long long>(bytes[2]) << 16 | static_cast<long long>(bytes[3]) << 24;
}

inline long long Big32(const uint8_t* bytes)
{
    return static_cast<long long>(bytes[0]) << 24 | static_cast<long long>(bytes[1]) << 16 |
           static_cast<long long>(bytes[2]) << 8 | static_cast<long long>(bytes[3]);
}

// A signed 16-bit number, as the rectangles of some formats hold.
inline long long SignedBig16(const uint8_t* bytes) { return static_cast<int16_t>(Big16(bytes)); }
