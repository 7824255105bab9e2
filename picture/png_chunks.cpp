// SPDX-License-Identifier: MIT
#include "picture/png_chunks.h"

#include "picture/exif_encoder.h"
#include "picture/exif_thumbnail.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <optional>
#include <vector>

namespace {

// Larger profiles exist only as damage or attack.
constexpr uint32_t MaxProfileBytes = 64u << 20;

// The EXIF block of a JPEG file starts with this; the PNG chunk holds what follows.
constexpr BYTE ExifPrefix[] = {'E', 'x', 'i', 'f', 0, 0};

void PutBig32(std::vector<BYTE>& bytes, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<BYTE>(value >> shift));
}

// The data of the first chunk of type, if one comes before the first IDAT.
std::optional<std::vector<BYTE>> FindChunk(const std::string& path, const char* type)
{
    std::ifstream file(path, std::ios::binary);
    file.seekg(8);
    unsigned char header[8];
    while (file.read(reinterpret_cast<char*>(header), 8)) {
        const uint32_t length = static_cast<uint32_t>(header[0]) << 24 | static_cast<uint32_t>(header[1]) << 16 |
                                static_cast<uint32_t>(header[2]) << 8 | header[3];
        if (std::memcmp(header + 4, "IDAT", 4) == 0 || length > MaxProfileBytes)
            return std::nullopt;
        if (std::memcmp(header + 4, type, 4) == 0) {
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

bool PngHasChunk(const std::string& path, const char* type)
{
    return FindChunk(path, type).has_value();
}

const BYTE* RawExif(FIBITMAP* bitmap, DWORD& size)
{
    size = 0;
    FITAG* tag = nullptr;
    if (!FreeImage_GetMetadata(FIMD_EXIF_RAW, bitmap, "ExifRaw", &tag) || tag == nullptr)
        return nullptr;
    const auto* bytes = static_cast<const BYTE*>(FreeImage_GetTagValue(tag));
    const DWORD length = FreeImage_GetTagLength(tag);
    if (bytes == nullptr || length <= sizeof ExifPrefix || std::memcmp(bytes, ExifPrefix, sizeof ExifPrefix) != 0)
        return nullptr;
    size = length - static_cast<DWORD>(sizeof ExifPrefix);
    return bytes + sizeof ExifPrefix;
}

std::vector<BYTE> ExifChunkData(FIBITMAP* bitmap)
{
    DWORD size = 0;
    const BYTE* raw = RawExif(bitmap, size);
    return raw != nullptr ? WithoutThumbnail(raw, size) : EncodeExif(bitmap);
}

std::vector<BYTE> PngExifChunk(const std::string& path)
{
    return FindChunk(path, "eXIf").value_or(std::vector<BYTE>());
}

bool WritePngWithExif(FIBITMAP* bitmap, int flags, const std::vector<BYTE>& exif, std::FILE* file)
{
    FIMEMORY* memory = FreeImage_OpenMemory();
    BYTE* png = nullptr;
    DWORD pngSize = 0;
    // The signature and the IHDR chunk, which must come first.
    constexpr DWORD HeaderEnd = 8 + 12 + 13;
    bool written = memory != nullptr && !exif.empty() && FreeImage_SaveToMemory(FIF_PNG, bitmap, memory, flags) &&
                   FreeImage_AcquireMemory(memory, &png, &pngSize) && pngSize > HeaderEnd;
    if (written) {
        const auto exifSize = static_cast<uint32_t>(exif.size());
        constexpr BYTE Type[] = {'e', 'X', 'I', 'f'};
        // Length, type, data and check sum, reserved at once.
        std::vector<BYTE> chunk;
        chunk.reserve(exif.size() + 12);
        PutBig32(chunk, exifSize);
        chunk.insert(chunk.end(), std::begin(Type), std::end(Type));
        chunk.insert(chunk.end(), exif.begin(), exif.end());
        PutBig32(chunk, FreeImage_ZLibCRC32(0, chunk.data() + 4, exifSize + 4));
        written = std::fwrite(png, 1, HeaderEnd, file) == HeaderEnd &&
                  std::fwrite(chunk.data(), 1, chunk.size(), file) == chunk.size() &&
                  std::fwrite(png + HeaderEnd, 1, pngSize - HeaderEnd, file) == pngSize - HeaderEnd;
    }
    if (memory != nullptr)
        FreeImage_CloseMemory(memory);
    return written;
}

void AddPngProfile(const std::string& path, FIBITMAP* bitmap)
{
    if (FreeImage_GetICCProfile(bitmap)->size > 0)
        return;
    std::optional<std::vector<BYTE>> chunk = FindChunk(path, "iCCP");
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
