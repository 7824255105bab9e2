// SPDX-License-Identifier: MIT
#include "picture/exif_reader.h"

#include "picture/ifd_layout.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>

namespace {

constexpr uint16_t ExifPointerTag = 0x8769;
constexpr uint16_t GpsPointerTag = 0x8825;
constexpr uint16_t InteropPointerTag = 0xA005;
// Bounds no directory a writer of ours makes comes near.
constexpr uint16_t MaxEntries = 4096;
constexpr uint64_t MaxValueBytes = 16u << 20;

struct Pointers {
    uint32_t exif = 0;
    uint32_t gps = 0;
    uint32_t interop = 0;
};

void AddTag(FIBITMAP* dib, FREE_IMAGE_MDMODEL model, uint16_t id, uint16_t type, uint32_t count,
            const std::vector<uint8_t>& value)
{
    char key[8];
    std::snprintf(key, sizeof key, "0x%04X", id);
    FITAG* tag = FreeImage_CreateTag();
    if (tag == nullptr)
        return;
    FreeImage_SetTagKey(tag, key);
    FreeImage_SetTagID(tag, id);
    FreeImage_SetTagType(tag, static_cast<FREE_IMAGE_MDTYPE>(type));
    FreeImage_SetTagCount(tag, count);
    FreeImage_SetTagLength(tag, static_cast<DWORD>(value.size()));
    FreeImage_SetTagValue(tag, value.data());
    FreeImage_SetMetadata(model, dib, key, tag);
    FreeImage_DeleteTag(tag);
}

// budget is what the values of all directories may still take, so that
// entries sharing one large value cannot multiply it.
bool ReadDirectory(const ReadAt& read, ByteOrder order, uint32_t offset, FREE_IMAGE_MDMODEL model, FIBITMAP* dib,
                   Pointers& pointers, uint64_t& budget)
{
    uint8_t countBytes[2];
    if (offset == 0 || !read(offset, countBytes, 2))
        return false;
    const uint16_t count = Get16(countBytes, order);
    if (count > MaxEntries)
        return false;
    std::vector<uint8_t> entries(12u * count);
    if (!read(offset + 2, entries.data(), static_cast<uint32_t>(entries.size())))
        return false;
    for (uint16_t i = 0; i < count; ++i) {
        const uint8_t* entry = &entries[12u * i];
        const uint16_t id = Get16(entry, order);
        const uint16_t type = Get16(entry + 2, order);
        const uint32_t valueCount = Get32(entry + 4, order);
        const uint64_t size = static_cast<uint64_t>(TypeSize(type)) * valueCount;
        if (size == 0 || size > budget)
            continue;
        budget -= size;
        std::vector<uint8_t> value(entry + 8, entry + 8 + (size <= 4 ? size : 0));
        if (size > 4) {
            value.resize(size);
            if (!read(Get32(entry + 8, order), value.data(), static_cast<uint32_t>(size)))
                continue;
        }
        const uint32_t target = size == 4 ? Get32(value.data(), order) : 0;
        if (model == FIMD_EXIF_MAIN && id == ExifPointerTag)
            pointers.exif = target;
        else if (model == FIMD_EXIF_MAIN && id == GpsPointerTag)
            pointers.gps = target;
        else if (model == FIMD_EXIF_EXIF && id == InteropPointerTag)
            pointers.interop = target;
        else
            AddTag(dib, model, id, type, valueCount, SwapValues(value.data(), value.size(), type, order));
    }
    return true;
}

} // namespace

ReadAt ReadFromMemory(std::vector<uint8_t> bytes)
{
    return [bytes = std::move(bytes)](uint32_t offset, uint8_t* into, uint32_t size) {
        if (offset > bytes.size() || size > bytes.size() - offset)
            return false;
        if (size > 0)
            std::memcpy(into, bytes.data() + offset, size);
        return true;
    };
}

ReadAt ReadFromFile(const std::string& path)
{
    auto file = std::make_shared<std::ifstream>(path, std::ios::binary);
    return [file](uint32_t offset, uint8_t* into, uint32_t size) {
        file->clear();
        file->seekg(offset);
        file->read(reinterpret_cast<char*>(into), size);
        return file->gcount() == static_cast<std::streamsize>(size);
    };
}

BitmapPtr ReadExifModels(const ReadAt& read)
{
    uint8_t header[8];
    if (!read(0, header, 8))
        return nullptr;
    ByteOrder order = ByteOrder::Little;
    if (std::memcmp(header, "MM", 2) == 0)
        order = ByteOrder::Big;
    else if (std::memcmp(header, "II", 2) != 0)
        return nullptr;
    if (Get16(header + 2, order) != 42)
        return nullptr;
    BitmapPtr dib(FreeImage_Allocate(1, 1, 8));
    Pointers pointers;
    uint64_t budget = MaxValueBytes;
    if (dib == nullptr ||
        !ReadDirectory(read, order, Get32(header + 4, order), FIMD_EXIF_MAIN, dib.get(), pointers, budget))
        return nullptr;
    ReadDirectory(read, order, pointers.exif, FIMD_EXIF_EXIF, dib.get(), pointers, budget);
    ReadDirectory(read, order, pointers.gps, FIMD_EXIF_GPS, dib.get(), pointers, budget);
    ReadDirectory(read, order, pointers.interop, FIMD_EXIF_INTEROP, dib.get(), pointers, budget);
    return dib;
}
