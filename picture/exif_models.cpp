// SPDX-License-Identifier: MIT
#include "picture/exif_models.h"

#include "picture/exif_encoder.h"
#include "picture/exif_reader.h"
#include "picture/metadata_tags.h"
#include "picture/png_chunks.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string_view>
#include <vector>

namespace {

constexpr FREE_IMAGE_MDMODEL ExifModels[] = {FIMD_EXIF_MAIN, FIMD_EXIF_EXIF, FIMD_EXIF_GPS, FIMD_EXIF_INTEROP};
constexpr WORD XmpTag = 0x02BC;
constexpr WORD IptcTag = 0x83BB;
constexpr WORD ProfileTag = 0x8773;
constexpr WORD GeoTiffTags[] = {0x830E, 0x8480, 0x8482, 0x87AF, 0x87B0, 0x87B1};
constexpr WORD SupplementalCategoriesTag = 0x0214;
constexpr WORD KeywordsTag = 0x0219;

std::string_view Bytes(FITAG* tag)
{
    return {static_cast<const char*>(FreeImage_GetTagValue(tag)), FreeImage_GetTagLength(tag)};
}

void SetText(FIBITMAP* bitmap, FREE_IMAGE_MDMODEL model, const std::string& key, WORD id, std::string_view text)
{
    std::string value(text);
    value.push_back('\0');
    FITAG* tag = FreeImage_CreateTag();
    if (tag == nullptr)
        return;
    FreeImage_SetTagKey(tag, key.c_str());
    FreeImage_SetTagID(tag, id);
    FreeImage_SetTagType(tag, FIDT_ASCII);
    FreeImage_SetTagCount(tag, static_cast<DWORD>(value.size()));
    FreeImage_SetTagLength(tag, static_cast<DWORD>(value.size()));
    FreeImage_SetTagValue(tag, value.data());
    FreeImage_SetMetadata(model, bitmap, key.c_str(), tag);
    FreeImage_DeleteTag(tag);
}

// IPTC datasets as FreeImage reads them: text, keywords and supplemental
// categories joined with ";". They go into the custom model, where tags keep
// their numbers (FreeImage's IPTC model renumbers tags by name).
void ReadIptcDatasets(std::string_view block, FIBITMAP* bitmap)
{
    std::map<WORD, std::string> values;
    for (std::size_t at = 0; at + 5 <= block.size() && block[at] == 0x1C;) {
        const auto id = static_cast<WORD>(static_cast<uint8_t>(block[at + 1]) << 8 | static_cast<uint8_t>(block[at + 2]));
        const std::size_t length = static_cast<uint8_t>(block[at + 3]) << 8 | static_cast<uint8_t>(block[at + 4]);
        if (at + 5 + length > block.size())
            break;
        const std::string_view value = block.substr(at + 5, length);
        std::string& text = values[id];
        if ((id == KeywordsTag || id == SupplementalCategoriesTag) && !text.empty())
            text += ';';
        text += value;
        at += 5 + length;
    }
    for (const auto& [id, text] : values) {
        char key[8];
        std::snprintf(key, sizeof key, "0x%04X", id);
        SetText(bitmap, FIMD_CUSTOM, key, id, text);
    }
}

} // namespace

BitmapPtr ReadTiffMetadata(const std::string& path)
{
    BitmapPtr read = ReadExifModels(ReadFromFile(path));
    if (!read)
        return read;
    FIBITMAP* dib = read.get();
    if (FITAG* xmp = TagById(dib, FIMD_EXIF_MAIN, XmpTag))
        SetText(dib, FIMD_XMP, "XMLPacket", 0, Bytes(xmp).substr(0, Bytes(xmp).find('\0')));
    if (FITAG* iptc = TagById(dib, FIMD_EXIF_MAIN, IptcTag))
        ReadIptcDatasets(Bytes(iptc), dib);
    if (FITAG* profile = TagById(dib, FIMD_EXIF_MAIN, ProfileTag))
        FreeImage_CreateICCProfile(dib, const_cast<void*>(FreeImage_GetTagValue(profile)),
                                   static_cast<long>(FreeImage_GetTagLength(profile)));
    for (const WORD id : GeoTiffTags)
        if (FITAG* geo = TagById(dib, FIMD_EXIF_MAIN, id))
            FreeImage_SetMetadata(FIMD_GEOTIFF, dib, FreeImage_GetTagKey(geo), geo);
    return read;
}

void ReadExifOfFile(const std::string& path, FREE_IMAGE_FORMAT format, FIBITMAP* bitmap)
{
    BitmapPtr read;
    if (format == FIF_TIFF) {
        read = ReadTiffMetadata(path);
    } else if (format == FIF_PNG) {
        std::vector<BYTE> chunk = PngExifChunk(path);
        if (!chunk.empty())
            read = ReadExifModels(ReadFromMemory(std::move(chunk)));
    }
    if (!read)
        return;
    if (format == FIF_TIFF && FreeImage_GetICCProfile(read.get())->size > 0) {
        FIICCPROFILE* profile = FreeImage_GetICCProfile(bitmap);
        const WORD flags = profile->flags;
        FreeImage_DestroyICCProfile(bitmap);
        const FIICCPROFILE* found = FreeImage_GetICCProfile(read.get());
        FreeImage_CreateICCProfile(bitmap, found->data, found->size)->flags = flags;
    }
    for (const FREE_IMAGE_MDMODEL model : ExifModels) {
        std::map<WORD, std::string> names;
        std::vector<std::string> oldKeys;
        for (FITAG* tag : TagsOf(bitmap, model)) {
            names[FreeImage_GetTagID(tag)] = FreeImage_GetTagKey(tag);
            oldKeys.emplace_back(FreeImage_GetTagKey(tag));
        }
        std::vector<FITAG*> tags = TagsOf(read.get(), model);
        if (model == FIMD_EXIF_MAIN)
            std::erase_if(tags, [](FITAG* tag) {
                const WORD id = FreeImage_GetTagID(tag);
                return LeftToTheFile(id) || std::find(std::begin(GeoTiffTags), std::end(GeoTiffTags), id) !=
                                                std::end(GeoTiffTags);
            });
        for (const std::string& key : oldKeys)
            FreeImage_SetMetadata(model, bitmap, key.c_str(), nullptr);
        for (FITAG* tag : tags) {
            const auto known = names.find(FreeImage_GetTagID(tag));
            if (known != names.end())
                FreeImage_SetTagKey(tag, known->second.c_str());
            FreeImage_SetMetadata(model, bitmap, FreeImage_GetTagKey(tag), tag);
        }
    }
}
