// SPDX-License-Identifier: MIT
#include "metadata/png_exif_chunk.h"

#include <array>
#include <cstring>
#include <utility>

namespace {

constexpr std::size_t SignatureBytes = 8;
constexpr std::size_t ChunkFrameBytes = 12; // length, type, CRC

uint32_t Get32(const uint8_t* bytes)
{
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

void Put32(std::vector<uint8_t>& out, uint32_t value)
{
    out.insert(out.end(), {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)});
}

uint32_t Crc32(const uint8_t* bytes, std::size_t size)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> entries{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

} // namespace

bool PutPngExifChunk(std::vector<uint8_t>& file, const std::vector<uint8_t>& block)
{
    static constexpr uint8_t Signature[SignatureBytes] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < SignatureBytes + ChunkFrameBytes || std::memcmp(file.data(), Signature, SignatureBytes) != 0)
        return false;
    // Every chunk but an old eXIf, the new one right after the header chunk.
    std::vector<uint8_t> out(file.begin(), file.begin() + SignatureBytes);
    std::size_t at = SignatureBytes;
    bool first = true;
    while (at + ChunkFrameBytes <= file.size()) {
        const uint64_t chunkBytes = uint64_t{Get32(&file[at])} + ChunkFrameBytes;
        if (chunkBytes > file.size() - at)
            return false;
        const bool oldExif = std::memcmp(&file[at + 4], "eXIf", 4) == 0;
        if (!oldExif)
            out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(at),
                       file.begin() + static_cast<std::ptrdiff_t>(at + chunkBytes));
        at += chunkBytes;
        if (first && !block.empty()) {
            const std::size_t typeAt = out.size() + 4;
            Put32(out, static_cast<uint32_t>(block.size()));
            out.insert(out.end(), {'e', 'X', 'I', 'f'});
            out.insert(out.end(), block.begin(), block.end());
            Put32(out, Crc32(&out[typeAt], block.size() + 4));
        }
        first = false;
    }
    out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(at), file.end());
    file = std::move(out);
    return true;
}
