// SPDX-License-Identifier: MIT
#include "metadata/metadata_reader.h"

#include "metadata/carried_blocks.h"
#include "metadata/exif_models.h"
#include "metadata/exiv2_messages.h"
#include "metadata/iptc_models.h"
#include "metadata/metadata_tags.h"

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// exiv2 names the directory it could not read in full, or the pointer to
// it that leads nowhere ("Directory Image, entry 0x8825 Sub-IFD pointer ...").
struct DamagedDirectory {
    const char* mention;
    const char* name;
};
constexpr DamagedDirectory Pointers[] = {{"entry 0x8769", "EXIF camera settings directory (damaged)"},
                                         {"entry 0x8825", "EXIF GPS directory (damaged)"},
                                         {"entry 0xa005", "EXIF interoperability directory (damaged)"},
                                         {"entry 0x927c", "maker notes (damaged)"}};
constexpr DamagedDirectory Directories[] = {{"Directory Image", "EXIF directory (damaged)"},
                                            {"Directory Photo", "EXIF camera settings directory (damaged)"},
                                            {"Directory GPSInfo", "EXIF GPS directory (damaged)"},
                                            {"Directory Iop", "EXIF interoperability directory (damaged)"}};
constexpr const char* DamagedMakerNote = "maker notes (damaged)";

void Note(std::vector<std::string>& damaged, const std::string& name)
{
    if (std::find(damaged.begin(), damaged.end(), name) == damaged.end())
        damaged.push_back(name);
}

const char* DamagedName(const std::string& message)
{
    for (const DamagedDirectory& pointer : Pointers)
        if (message.find(pointer.mention) != std::string::npos)
            return pointer.name;
    for (const DamagedDirectory& directory : Directories)
        if (message.rfind(directory.mention, 0) == 0 && message.find_first_of(",: ", std::strlen(directory.mention)) ==
                                                             std::strlen(directory.mention))
            return directory.name;
    if (message.rfind("Directory ", 0) == 0) {
        const std::size_t end = message.find_first_of(",: ", 10);
        if (Exiv2::ExifTags::isMakerGroup(message.substr(10, end - 10)))
            return DamagedMakerNote;
    }
    return nullptr;
}

void NoteDamagedDirectories(const Exiv2Messages& messages, std::vector<std::string>& damaged)
{
    for (const std::string& message : messages.Texts())
        if (const char* name = DamagedName(message))
            Note(damaged, name);
}

// The report's name of a damaged tag's directory.
const char* DirectoryName(const Exiv2::Exifdatum& datum)
{
    for (const DamagedDirectory& directory : Directories)
        if (directory.mention + std::strlen("Directory ") == datum.groupName())
            return directory.name;
    return Exiv2::ExifTags::isMakerGroup(datum.groupName()) ? DamagedMakerNote : nullptr;
}

// Directories whose entry count runs past the block ("Directory Image: IFD
// entry 32 lies outside of the data buffer"): their entries are read from
// whatever follows them, so none is kept.
std::vector<std::string> MiscountedDirectories(const Exiv2Messages& messages)
{
    std::vector<std::string> groups;
    for (const std::string& message : messages.Texts())
        if (message.rfind("Directory ", 0) == 0 && message.find(": IFD entry ") != std::string::npos &&
            message.find("lies outside") != std::string::npos)
            groups.push_back(message.substr(10, message.find(':') - 10));
    return groups;
}

// The tags that go on: no thumbnail (it shows the picture before the edit),
// none of the layout the file states for itself, and none a directory
// cannot hold or of a miscounted directory (named as damaged).
Exiv2::ExifData Travelling(const Exiv2::ExifData& read, const Exiv2Messages& messages,
                           std::vector<std::string>& damaged)
{
    const std::vector<std::string> miscounted = MiscountedDirectories(messages);
    Exiv2::ExifData kept;
    for (const Exiv2::Exifdatum& datum : read) {
        if (datum.groupName() == "Thumbnail" || (datum.groupName() == "Image" && LeftToTheFile(datum.tag())))
            continue;
        const bool miscountedDirectory =
            std::find(miscounted.begin(), miscounted.end(), datum.groupName()) != miscounted.end();
        if (DirectoryCanHold(datum) && !miscountedDirectory)
            kept.add(datum);
        else if (const char* name = DirectoryName(datum))
            Note(damaged, name);
    }
    return kept;
}

// The block laid out anew from what could be read; empty when nothing could.
std::vector<uint8_t> Encoded(const Exiv2::ExifData& exifData)
{
    if (exifData.empty())
        return {};
    Exiv2::Blob block;
    Exiv2::ExifParser::encode(block, Exiv2::littleEndian, exifData);
    return block;
}

void CheckXmp(FIBITMAP* picture, std::vector<std::string>& damaged)
{
    const std::string packet = XmpPacketOf(picture);
    Exiv2::XmpData parsed;
    if (FreeImage_GetMetadataCount(FIMD_XMP, picture) == 0 ||
        (!packet.empty() && Exiv2::XmpParser::decode(parsed, packet) == 0))
        return;
    FreeImage_SetMetadata(FIMD_XMP, picture, nullptr, nullptr);
    Note(damaged, "XMP (damaged)");
}

std::vector<std::string> ProfileTextKeys(FIBITMAP* picture)
{
    std::vector<std::string> keys;
    for (FITAG* tag : TagsOf(picture, FIMD_COMMENTS))
        if (std::string(FreeImage_GetTagKey(tag)).rfind("Raw profile type ", 0) == 0)
            keys.emplace_back(FreeImage_GetTagKey(tag));
    return keys;
}

// The report's name of what a "Raw profile type ..." text chunk claims to hold.
std::string ProfileKind(const std::string& key)
{
    const std::string type = key.substr(std::strlen("Raw profile type "));
    if (type == "exif" || type == "APP1")
        return "EXIF";
    if (type == "iptc" || type == "xmp")
        return type == "iptc" ? "IPTC" : "XMP";
    return "metadata";
}

// Text chunks that carry metadata blocks ("Raw profile type iptc") are
// read by exiv2 as the blocks they hold, not passed on as text; one it
// found nothing in is named damaged.
void TakeProfileTexts(FIBITMAP* picture, const Exiv2::Image* image, std::vector<std::string>& damaged)
{
    for (const std::string& key : ProfileTextKeys(picture)) {
        const std::string kind = ProfileKind(key);
        const bool read = image != nullptr && ((kind == "EXIF" && !image->exifData().empty()) ||
                                               (kind == "IPTC" && !image->iptcData().empty()) ||
                                               (kind == "XMP" && !image->xmpPacket().empty()));
        if (!read)
            Note(damaged, kind + " (damaged)");
        FreeImage_SetMetadata(FIMD_COMMENTS, picture, key.c_str(), nullptr);
    }
}

bool HasExif(FIBITMAP* picture)
{
    for (const ExifModel& each : ExifModels())
        if (FreeImage_GetMetadataCount(each.model, picture) > 0)
            return true;
    return FreeImage_GetMetadataCount(FIMD_EXIF_MAKERNOTE, picture) > 0 || !CameraExifBlock(picture).empty();
}

void DropExif(FIBITMAP* picture)
{
    for (const ExifModel& each : ExifModels())
        FreeImage_SetMetadata(each.model, picture, nullptr, nullptr);
    FreeImage_SetMetadata(FIMD_EXIF_MAKERNOTE, picture, nullptr, nullptr);
    SetCameraExifBlock(picture, {});
}

void ReadWithExiv2(const uint8_t* file, std::size_t size, FREE_IMAGE_FORMAT format, FIBITMAP* picture,
                   std::vector<std::string>& damaged)
{
    const Exiv2Messages messages;
    std::unique_ptr<Exiv2::Image> image = Exiv2::ImageFactory::open(file, static_cast<long>(size));
    image->readMetadata();
    NoteDamagedDirectories(messages, damaged);
    const Exiv2::ExifData exifData = Travelling(image->exifData(), messages, damaged);
    // FreeImage's own parse of the maker note reads offsets exiv2 may have refused.
    FreeImage_SetMetadata(FIMD_EXIF_MAKERNOTE, picture, nullptr, nullptr);
    PutExifDataInModels(exifData, picture);
    SetCameraExifBlock(picture, Encoded(exifData));
    if (messages.Mention("IPTC"))
        Note(damaged, "IPTC (damaged)");
    PutIptcDataInModel(image->iptcData(), picture);
    TakeProfileTexts(picture, image.get(), damaged);
    // FreeImage's PNG reader drops the profile, and its TIFF reader can take it from freed memory.
    if (format != FIF_JPEG && image->iccProfileDefined()) {
        const Exiv2::DataBuf* profile = image->iccProfile();
        const DWORD flags = FreeImage_GetICCProfile(picture)->flags;
        FreeImage_DestroyICCProfile(picture);
        FreeImage_CreateICCProfile(picture, profile->pData_, profile->size_);
        FreeImage_GetICCProfile(picture)->flags = flags;
    }
}

// A raw EXIF block FreeImage read from another format: what exiv2 can read of it, laid out anew.
void CheckCameraBlock(FIBITMAP* picture, std::vector<std::string>& damaged)
{
    const std::vector<uint8_t> block = CameraExifBlock(picture);
    if (block.empty())
        return;
    const Exiv2Messages messages;
    Exiv2::ExifData exifData;
    Exiv2::ExifParser::decode(exifData, block.data(), static_cast<uint32_t>(block.size()));
    NoteDamagedDirectories(messages, damaged);
    SetCameraExifBlock(picture, Encoded(Travelling(exifData, messages, damaged)));
}

} // namespace

void ReadFileMetadata(const uint8_t* file, std::size_t size, FREE_IMAGE_FORMAT format, FIBITMAP* picture)
{
    std::vector<std::string> damaged;
    try {
        if (file != nullptr && size > 0 && (format == FIF_JPEG || format == FIF_PNG || format == FIF_TIFF))
            ReadWithExiv2(file, size, format, picture, damaged);
        else
            CheckCameraBlock(picture, damaged);
    } catch (const std::exception&) {
        // Nothing of a structure exiv2 gave up on goes further.
        if (HasExif(picture))
            Note(damaged, "EXIF (damaged)");
        DropExif(picture);
        if (FreeImage_GetMetadataCount(FIMD_IPTC, picture) > 0)
            Note(damaged, "IPTC (damaged)");
        FreeImage_SetMetadata(FIMD_IPTC, picture, nullptr, nullptr);
        TakeProfileTexts(picture, nullptr, damaged);
    }
    CheckXmp(picture, damaged);
    SetDamagedMetadata(picture, damaged);
}

std::optional<long> TiffFirstDirectoryValue(const uint8_t* file, std::size_t size, uint16_t tag)
{
    try {
        const Exiv2Messages messages;
        std::unique_ptr<Exiv2::Image> image = Exiv2::ImageFactory::open(file, static_cast<long>(size));
        image->readMetadata();
        const Exiv2::ExifData& exifData = image->exifData();
        const auto found = exifData.findKey(Exiv2::ExifKey(tag, "Image"));
        if (found == exifData.end() || found->count() == 0)
            return std::nullopt;
        return found->toLong(0);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}
