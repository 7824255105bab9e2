// SPDX-License-Identifier: MIT
#include "picture/exif_orientation.h"

#include "metadata/metadata_tags.h"

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
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

// The digits of an Orientation property that starts at name, in its
// attribute form (tiff:Orientation="6") or element form
// (<tiff:Orientation>6<); an empty range when name starts neither.
std::pair<std::size_t, std::size_t> OrientationDigits(const std::string& packet, std::size_t name)
{
    const auto skipSpace = [&](std::size_t at) {
        while (at < packet.size() && std::isspace(static_cast<unsigned char>(packet[at])))
            ++at;
        return at;
    };
    std::size_t at = name + std::strlen("tiff:Orientation");
    if (name > 0 && packet[name - 1] == '<') {
        if (at >= packet.size() || packet[at] != '>')
            return {at, at};
        at = skipSpace(at + 1);
    } else {
        at = skipSpace(at);
        if (at >= packet.size() || packet[at] != '=')
            return {at, at};
        at = skipSpace(at + 1);
        if (at >= packet.size() || (packet[at] != '"' && packet[at] != '\''))
            return {at, at};
        ++at;
    }
    std::size_t end = at;
    while (end < packet.size() && std::isdigit(static_cast<unsigned char>(packet[end])))
        ++end;
    return {at, end};
}

void MarkXmpUpright(FIBITMAP* bitmap)
{
    FITAG* xmp = nullptr;
    if (!FreeImage_GetMetadata(FIMD_XMP, bitmap, XmpKey, &xmp) || xmp == nullptr)
        return;
    const auto* text = static_cast<const char*>(FreeImage_GetTagValue(xmp));
    std::string packet(text, text + FreeImage_GetTagLength(xmp));
    bool changed = false;
    for (std::size_t name = packet.find("tiff:Orientation"); name != std::string::npos;
         name = packet.find("tiff:Orientation", name + 1)) {
        const auto [first, last] = OrientationDigits(packet, name);
        if (first != last) {
            packet.replace(first, last - first, "1");
            changed = true;
        }
    }
    if (changed)
        ReplaceTagValue(bitmap, FIMD_XMP, xmp, FIDT_ASCII, static_cast<DWORD>(packet.size()), packet.data(),
                        static_cast<DWORD>(packet.size()));
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
