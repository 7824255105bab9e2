// SPDX-License-Identifier: MIT
#include "picture/exif_orientation.h"

#include "metadata/metadata_tags.h"

#include <cstdint>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

namespace {

constexpr WORD OrientationTag = 0x0112;
constexpr const char* RawKey = "ExifRaw";
constexpr const char* XmpKey = "XMLPacket";

// Replaces a model's tag with a copy holding count values of type in
// length bytes.
void ReplaceTagValue(FIBITMAP* bitmap, FREE_IMAGE_MDMODEL model, FITAG* tag, FREE_IMAGE_MDTYPE type, DWORD count,
                     const void* value, DWORD length)
{
    FITAG* copy = FreeImage_CloneTag(tag);
    if (copy == nullptr)
        return;
    // The key goes with the tag replaced.
    const std::string key = FreeImage_GetTagKey(tag);
    if (FreeImage_SetTagType(copy, type) && FreeImage_SetTagCount(copy, count) &&
        FreeImage_SetTagLength(copy, length) && FreeImage_SetTagValue(copy, value))
        FreeImage_SetMetadata(model, bitmap, key.c_str(), copy);
    FreeImage_DeleteTag(copy);
}

uint32_t Read(const std::vector<uint8_t>& block, std::size_t at, int size, bool bigEndian)
{
    uint32_t value = 0;
    for (int i = 0; i < size; ++i)
        value |= uint32_t{block[at + i]} << 8 * (bigEndian ? size - 1 - i : i);
    return value;
}

// Sets the Orientation entry of the first directory of a raw EXIF block
// ("Exif", two zero bytes, a TIFF header) to 1; false when it has none.
bool SetRawOrientationToOne(std::vector<uint8_t>& block)
{
    constexpr std::size_t Tiff = 6;
    if (block.size() < Tiff + 8 || std::memcmp(block.data(), "Exif\0\0", Tiff) != 0)
        return false;
    const bool bigEndian = block[Tiff] == 'M';
    const std::size_t directory = Tiff + Read(block, Tiff + 4, 4, bigEndian);
    if (directory + 2 > block.size())
        return false;
    const uint32_t entries = Read(block, directory, 2, bigEndian);
    for (uint32_t i = 0; i < entries; ++i) {
        const std::size_t entry = directory + 2 + 12 * std::size_t{i};
        if (entry + 12 > block.size())
            return false;
        // One SHORT, held in the entry's value field.
        if (Read(block, entry, 2, bigEndian) == OrientationTag && Read(block, entry + 2, 2, bigEndian) == 3 &&
            Read(block, entry + 4, 4, bigEndian) == 1) {
            block[entry + 8] = bigEndian ? 0 : 1;
            block[entry + 9] = bigEndian ? 1 : 0;
            return true;
        }
    }
    return false;
}

void MarkRawBlockUpright(FIBITMAP* bitmap)
{
    FITAG* raw = nullptr;
    if (!FreeImage_GetMetadata(FIMD_EXIF_RAW, bitmap, RawKey, &raw) || raw == nullptr)
        return;
    const auto* bytes = static_cast<const uint8_t*>(FreeImage_GetTagValue(raw));
    std::vector<uint8_t> block(bytes, bytes + FreeImage_GetTagLength(raw));
    if (SetRawOrientationToOne(block))
        ReplaceTagValue(bitmap, FIMD_EXIF_RAW, raw, FIDT_BYTE, static_cast<DWORD>(block.size()), block.data(),
                        static_cast<DWORD>(block.size()));
}

void MarkXmpUpright(FIBITMAP* bitmap)
{
    FITAG* xmp = nullptr;
    if (!FreeImage_GetMetadata(FIMD_XMP, bitmap, XmpKey, &xmp) || xmp == nullptr)
        return;
    const auto* text = static_cast<const char*>(FreeImage_GetTagValue(xmp));
    const std::string packet(text, text + FreeImage_GetTagLength(xmp));
    // The attribute form and the element form of the property; "$01" is the
    // part before the value.
    static const std::regex orientation(R"((tiff:Orientation\s*=\s*["']|<tiff:Orientation>\s*)[0-9]+)");
    const std::string upright = std::regex_replace(packet, orientation, "$011");
    if (upright != packet)
        ReplaceTagValue(bitmap, FIMD_XMP, xmp, FIDT_ASCII, static_cast<DWORD>(upright.size()), upright.data(),
                        static_cast<DWORD>(upright.size()));
}

} // namespace

int ExifOrientation(FIBITMAP* bitmap)
{
    FITAG* tag = bitmap != nullptr ? TagById(bitmap, FIMD_EXIF_MAIN, OrientationTag) : nullptr;
    if (tag == nullptr || FreeImage_GetTagCount(tag) < 1 || FreeImage_GetTagValue(tag) == nullptr)
        return 1;
    uint32_t value = 0;
    if (FreeImage_GetTagType(tag) == FIDT_SHORT && FreeImage_GetTagLength(tag) >= 2)
        value = *static_cast<const uint16_t*>(FreeImage_GetTagValue(tag));
    else if (FreeImage_GetTagType(tag) == FIDT_LONG && FreeImage_GetTagLength(tag) >= 4)
        value = *static_cast<const uint32_t*>(FreeImage_GetTagValue(tag));
    return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
}

void MarkUpright(FIBITMAP* bitmap)
{
    if (bitmap == nullptr)
        return;
    if (FITAG* tag = TagById(bitmap, FIMD_EXIF_MAIN, OrientationTag)) {
        const uint16_t one = 1;
        ReplaceTagValue(bitmap, FIMD_EXIF_MAIN, tag, FIDT_SHORT, 1, &one, sizeof one);
    }
    MarkRawBlockUpright(bitmap);
    MarkXmpUpright(bitmap);
}
