// SPDX-License-Identifier: MIT
#include "picture/metadata_check.h"

#include "picture/bitmap.h"
#include "picture/exif_encoder.h"
#include "picture/exif_models.h"
#include "picture/exif_reader.h"
#include "picture/metadata_tags.h"
#include "picture/png_chunks.h"
#include "picture/tiff_metadata.h"

#include <cstring>
#include <map>
#include <string>

namespace {

struct MetadataKind {
    FREE_IMAGE_MDMODEL model;
    const char* name;
    bool exif = false;     // one of the EXIF directories
    bool byNumber = false; // tags matched by number, since their keys depend on who read them
};

constexpr MetadataKind Kinds[] = {
    {FIMD_EXIF_MAIN, "EXIF", true, true},
    {FIMD_EXIF_EXIF, "EXIF camera settings", true, true},
    {FIMD_EXIF_GPS, "GPS", true, true},
    {FIMD_EXIF_MAKERNOTE, "maker notes", true, true},
    {FIMD_EXIF_INTEROP, "EXIF interoperability", true, true},
    {FIMD_IPTC, "IPTC", false, true},
    {FIMD_XMP, "XMP"},
    {FIMD_COMMENTS, "comments"},
    {FIMD_GEOTIFF, "GeoTIFF", false, true},
};

bool HasProfile(FIBITMAP* bitmap)
{
    return FreeImage_GetICCProfile(bitmap)->size > 0;
}

constexpr WORD IptcRecordVersionTag = 0x0200;

// Source tags the written file need not hold as the picture has them: the
// file states them itself, they are counted among the maker notes, or the
// IPTC writer gives its own record version.
bool Exempt(FREE_IMAGE_MDMODEL model, FREE_IMAGE_FORMAT format, WORD id)
{
    if (model == FIMD_EXIF_MAIN)
        return LeftToTheFile(id) || (format == FIF_TIFF && TiffWriterStates(id));
    return (model == FIMD_EXIF_EXIF && id == MakerNoteTag) || (model == FIMD_IPTC && id == IptcRecordVersionTag);
}

// Every tag of source's model is in written with the same value.
bool HoldsAllTags(FIBITMAP* source, FIBITMAP* written, FREE_IMAGE_MDMODEL model, FREE_IMAGE_MDMODEL writtenModel,
                  bool byNumber, FREE_IMAGE_FORMAT format)
{
    for (FITAG* tag : TagsOf(source, model)) {
        if (Exempt(model, format, FreeImage_GetTagID(tag)))
            continue;
        FITAG* copy = nullptr;
        if (written != nullptr && byNumber)
            copy = TagById(written, writtenModel, FreeImage_GetTagID(tag));
        else if (written != nullptr)
            FreeImage_GetMetadata(writtenModel, written, FreeImage_GetTagKey(tag), &copy);
        if (copy == nullptr || std::strcmp(FreeImage_TagToString(model, tag), FreeImage_TagToString(model, copy)) != 0)
            return false;
    }
    return true;
}

// A maker note is kept when its bytes are, unchanged, in the Exif directory.
bool HoldsMakerNote(FIBITMAP* source, FIBITMAP* written)
{
    FITAG* note = TagById(source, FIMD_EXIF_EXIF, MakerNoteTag);
    if (note == nullptr)
        return FreeImage_GetMetadataCount(FIMD_EXIF_MAKERNOTE, source) == 0;
    FITAG* copy = written != nullptr ? TagById(written, FIMD_EXIF_EXIF, MakerNoteTag) : nullptr;
    return copy != nullptr && FreeImage_GetTagLength(copy) == FreeImage_GetTagLength(note) &&
           std::memcmp(FreeImage_GetTagValue(copy), FreeImage_GetTagValue(note), FreeImage_GetTagLength(note)) == 0;
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
    // FreeImage reads neither a PNG file's eXIf chunk nor a TIFF file's
    // directories in full (and takes a TIFF's profile from freed memory when
    // it has an Exif directory): those are read here.
    BitmapPtr written;
    BitmapPtr exifChunk;
    bool rawBlockKept = false;
    if (format == FIF_TIFF) {
        // IPTC datasets come back in the custom model.
        written = ReadTiffMetadata(path);
    } else {
        const int flags = FreeImage_FIFSupportsNoPixels(format) ? FIF_LOAD_NOPIXELS : 0;
        written.reset(FreeImage_Load(format, path.c_str(), flags));
    }
    if (format == FIF_PNG) {
        const std::vector<BYTE> chunk = PngExifChunk(path);
        DWORD rawSize = 0;
        const BYTE* raw = RawExif(bitmap, rawSize);
        // The JPEG's own block, byte for byte, holds all its EXIF kinds, maker notes too.
        rawBlockKept = raw != nullptr && chunk.size() == rawSize && std::memcmp(chunk.data(), raw, rawSize) == 0;
        if (!chunk.empty())
            exifChunk = ReadExifModels(ReadFromMemory(chunk));
    }
    FIBITMAP* exifWritten = format == FIF_PNG ? exifChunk.get() : written.get();
    for (const MetadataKind& kind : Kinds) {
        bool holds = true;
        if (kind.exif && rawBlockKept)
            holds = true;
        else if (kind.model == FIMD_EXIF_MAKERNOTE)
            holds = HoldsMakerNote(bitmap, exifWritten);
        else
            holds = HoldsAllTags(bitmap, kind.exif ? exifWritten : written.get(), kind.model,
                                 format == FIF_TIFF && kind.model == FIMD_IPTC ? FIMD_CUSTOM : kind.model,
                                 kind.byNumber, format);
        if (!holds)
            missing.emplace_back(kind.name);
    }
    bool profileWritten = format == FIF_PNG ? PngHasChunk(path, "iCCP") : written != nullptr && HasProfile(written.get());
    if (format == FIF_TIFF && profileWritten) {
        const FIICCPROFILE* mine = FreeImage_GetICCProfile(bitmap);
        const FIICCPROFILE* theirs = FreeImage_GetICCProfile(written.get());
        profileWritten = mine->size == theirs->size && std::memcmp(mine->data, theirs->data, mine->size) == 0;
    }
    if (HasProfile(bitmap) && !profileWritten)
        missing.emplace_back("ICC profile");
    return missing;
}
