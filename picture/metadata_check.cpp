// SPDX-License-Identifier: MIT
#include "picture/metadata_check.h"

#include "picture/bitmap.h"
#include "picture/png_chunks.h"

#include <cstring>

namespace {

struct MetadataKind {
    FREE_IMAGE_MDMODEL model;
    const char* name;
    bool fromExifBlock = false; // read from the raw EXIF block
};

constexpr MetadataKind Kinds[] = {
    {FIMD_EXIF_MAIN, "EXIF", true},
    {FIMD_EXIF_EXIF, "EXIF camera settings", true},
    {FIMD_EXIF_GPS, "GPS", true},
    {FIMD_EXIF_MAKERNOTE, "maker notes", true},
    {FIMD_EXIF_INTEROP, "EXIF interoperability", true},
    {FIMD_IPTC, "IPTC"},
    {FIMD_XMP, "XMP"},
    {FIMD_COMMENTS, "comments"},
    {FIMD_GEOTIFF, "GeoTIFF"},
};

// The IPTC block's own entry among the main tags; IPTC is checked by its tags.
constexpr WORD IptcBlockTag = 0x83BB;

bool HasProfile(FIBITMAP* bitmap)
{
    return FreeImage_GetICCProfile(bitmap)->size > 0;
}

// Every tag of source's model is in written with the same value.
bool HoldsAllTags(FIBITMAP* source, FIBITMAP* written, FREE_IMAGE_MDMODEL model)
{
    FITAG* tag = nullptr;
    FIMETADATA* search = FreeImage_FindFirstMetadata(model, source, &tag);
    if (search == nullptr)
        return true;
    bool holds = true;
    do {
        if (model == FIMD_EXIF_MAIN && FreeImage_GetTagID(tag) == IptcBlockTag)
            continue;
        FITAG* copy = nullptr;
        holds = written != nullptr && FreeImage_GetMetadata(model, written, FreeImage_GetTagKey(tag), &copy) &&
                std::strcmp(FreeImage_TagToString(model, tag), FreeImage_TagToString(model, copy)) == 0;
    } while (holds && FreeImage_FindNextMetadata(search, &tag));
    FreeImage_FindCloseMetadata(search);
    return holds;
}


bool HasMetadata(FIBITMAP* bitmap)
{
    for (const MetadataKind& kind : Kinds)
        if (FreeImage_GetMetadataCount(kind.model, bitmap) > 0)
            return true;
    return HasProfile(bitmap);
}

} // namespace

std::vector<std::string> MetadataMissingFrom(FIBITMAP* bitmap, FREE_IMAGE_FORMAT format, const std::string& path)
{
    std::vector<std::string> missing;
    if (!HasMetadata(bitmap))
        return missing;
    const int flags = FreeImage_FIFSupportsNoPixels(format) ? FIF_LOAD_NOPIXELS : 0;
    const BitmapPtr written(FreeImage_Load(format, path.c_str(), flags));
    // FreeImage reads no eXIf chunk; one holding the picture's raw block holds all its EXIF models.
    DWORD exifSize = 0;
    const bool exifChunk = format == FIF_PNG && RawExif(bitmap, exifSize) != nullptr && PngHasChunk(path, "eXIf");
    for (const MetadataKind& kind : Kinds)
        if (!(exifChunk && kind.fromExifBlock) && !HoldsAllTags(bitmap, written.get(), kind.model))
            missing.emplace_back(kind.name);
    const bool profileWritten =
        format == FIF_PNG ? PngHasChunk(path, "iCCP") : written != nullptr && HasProfile(written.get());
    if (HasProfile(bitmap) && !profileWritten)
        missing.emplace_back("ICC profile");
    return missing;
}
