// SPDX-License-Identifier: MIT
#include "picture/png_profile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <optional>
#include <vector>

namespace {

// Larger profiles exist only as damage or attack.
constexpr uint32_t MaxProfileBytes = 64u << 20;

// The data of the iCCP chunk, if one comes before the first IDAT.
std::optional<std::vector<BYTE>> ProfileChunk(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    file.seekg(8);
    unsigned char header[8];
    while (file.read(reinterpret_cast<char*>(header), 8)) {
        const uint32_t length = static_cast<uint32_t>(header[0]) << 24 | static_cast<uint32_t>(header[1]) << 16 |
                                static_cast<uint32_t>(header[2]) << 8 | header[3];
        if (std::memcmp(header + 4, "IDAT", 4) == 0 || length > MaxProfileBytes)
            return std::nullopt;
        if (std::memcmp(header + 4, "iCCP", 4) == 0) {
            std::vector<BYTE> data(length);
            if (!file.read(reinterpret_cast<char*>(data.data()), length))
                return std::nullopt;
            return data;
        }
        file.seekg(static_cast<std::streamoff>(length) + 4, std::ios::cur);
    }
    return std::nullopt;
}

} // namespace

bool PngHasProfileChunk(const std::string& path)
{
    return ProfileChunk(path).has_value();
}

void AddPngProfile(const std::string& path, FIBITMAP* bitmap)
{
    if (FreeImage_GetICCProfile(bitmap)->size > 0)
        return;
    std::optional<std::vector<BYTE>> chunk = ProfileChunk(path);
    if (!chunk)
        return;
    // A name of 1 to 79 bytes, its terminating zero, the compression method
    // (0: zlib), then the compressed profile.
    const auto nameEnd = std::find(chunk->begin(), chunk->end(), BYTE{0});
    if (nameEnd == chunk->end() || nameEnd + 2 >= chunk->end() || nameEnd[1] != 0)
        return;
    BYTE* compressed = &*(nameEnd + 2);
    const auto compressedSize = static_cast<DWORD>(chunk->end() - (nameEnd + 2));
    // The inflated size is not stored before the data: grow until it fits.
    for (DWORD capacity = 1u << 18; capacity <= MaxProfileBytes; capacity *= 4) {
        std::vector<BYTE> profile(capacity);
        const DWORD size = FreeImage_ZLibUncompress(profile.data(), capacity, compressed, compressedSize);
        if (size > 0) {
            FreeImage_CreateICCProfile(bitmap, profile.data(), static_cast<long>(size));
            return;
        }
    }
}
