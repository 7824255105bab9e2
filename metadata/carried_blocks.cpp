// SPDX-License-Identifier: MIT
#include "metadata/carried_blocks.h"

#include <cstring>

namespace {

constexpr char RawKey[] = "ExifRaw";
constexpr char DamagedKey[] = "Quenlo.DamagedMetadata";
constexpr char ExifPrefix[] = {'E', 'x', 'i', 'f', 0, 0};

void SetBytes(FIBITMAP* picture, FREE_IMAGE_MDMODEL model, const char* key, FREE_IMAGE_MDTYPE type,
              const std::vector<uint8_t>& bytes)
{
    FITAG* tag = bytes.empty() ? nullptr : FreeImage_CreateTag();
    if (tag == nullptr) {
        FreeImage_SetMetadata(model, picture, key, nullptr);
        return;
    }
    const auto length = static_cast<DWORD>(bytes.size());
    if (FreeImage_SetTagKey(tag, key) && FreeImage_SetTagType(tag, type) && FreeImage_SetTagCount(tag, length) &&
        FreeImage_SetTagLength(tag, length) && FreeImage_SetTagValue(tag, bytes.data()))
        FreeImage_SetMetadata(model, picture, key, tag);
    FreeImage_DeleteTag(tag);
}

std::vector<uint8_t> BytesOf(FIBITMAP* picture, FREE_IMAGE_MDMODEL model, const char* key)
{
    FITAG* tag = nullptr;
    if (!FreeImage_GetMetadata(model, picture, key, &tag) || tag == nullptr || FreeImage_GetTagValue(tag) == nullptr)
        return {};
    const auto* bytes = static_cast<const uint8_t*>(FreeImage_GetTagValue(tag));
    return {bytes, bytes + FreeImage_GetTagLength(tag)};
}

} // namespace

std::vector<uint8_t> CameraExifBlock(FIBITMAP* picture)
{
    std::vector<uint8_t> block = BytesOf(picture, FIMD_EXIF_RAW, RawKey);
    if (block.size() >= sizeof ExifPrefix && std::memcmp(block.data(), ExifPrefix, sizeof ExifPrefix) == 0)
        block.erase(block.begin(), block.begin() + sizeof ExifPrefix);
    return block;
}

void SetCameraExifBlock(FIBITMAP* picture, const std::vector<uint8_t>& block)
{
    std::vector<uint8_t> raw;
    if (!block.empty()) {
        raw.assign(ExifPrefix, ExifPrefix + sizeof ExifPrefix);
        raw.insert(raw.end(), block.begin(), block.end());
    }
    SetBytes(picture, FIMD_EXIF_RAW, RawKey, FIDT_BYTE, raw);
}

std::vector<std::string> DamagedMetadataOf(FIBITMAP* picture)
{
    const std::vector<uint8_t> joined = BytesOf(picture, FIMD_CUSTOM, DamagedKey);
    std::vector<std::string> damaged;
    std::string each;
    for (const uint8_t c : joined) {
        if (c == '\n' || c == '\0') {
            if (!each.empty())
                damaged.push_back(each);
            each.clear();
        } else {
            each.push_back(static_cast<char>(c));
        }
    }
    return damaged;
}

void SetDamagedMetadata(FIBITMAP* picture, const std::vector<std::string>& damaged)
{
    std::vector<uint8_t> joined;
    for (const std::string& each : damaged) {
        joined.insert(joined.end(), each.begin(), each.end());
        joined.push_back('\n');
    }
    if (!joined.empty())
        joined.back() = '\0';
    SetBytes(picture, FIMD_CUSTOM, DamagedKey, FIDT_ASCII, joined);
}

std::string XmpPacketOf(FIBITMAP* picture)
{
    const std::vector<uint8_t> bytes = BytesOf(picture, FIMD_XMP, "XMLPacket");
    const std::string packet(bytes.begin(), bytes.end());
    return packet.substr(0, packet.find('\0'));
}
