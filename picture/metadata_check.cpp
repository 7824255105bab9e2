// SPDX-License-Identifier: MIT
#include "picture/metadata_check.h"

#include "picture/bitmap.h"

namespace {

struct MetadataKind {
    FREE_IMAGE_MDMODEL model;
    const char* name;
};

constexpr MetadataKind Kinds[] = {
    {FIMD_EXIF_MAIN, "EXIF"},        {FIMD_EXIF_EXIF, "EXIF camera settings"},
    {FIMD_EXIF_GPS, "GPS"},          {FIMD_EXIF_MAKERNOTE, "maker notes"},
    {FIMD_EXIF_INTEROP, "EXIF interoperability"},
    {FIMD_IPTC, "IPTC"},             {FIMD_XMP, "XMP"},
    {FIMD_COMMENTS, "comments"},     {FIMD_GEOTIFF, "GeoTIFF"},
};

bool HasProfile(FIBITMAP* bitmap)
{
    return FreeImage_GetICCProfile(bitmap)->size > 0;
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
    for (const MetadataKind& kind : Kinds)
        if (FreeImage_GetMetadataCount(kind.model, bitmap) > 0 &&
            (!written || FreeImage_GetMetadataCount(kind.model, written.get()) == 0))
            missing.emplace_back(kind.name);
    if (HasProfile(bitmap) && (!written || !HasProfile(written.get())))
        missing.emplace_back("ICC profile");
    return missing;
}
