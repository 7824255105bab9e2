// SPDX-License-Identifier: MIT
#include "metadata/metadata_writer.h"

#include "metadata/carried_blocks.h"
#include "metadata/exif_models.h"
#include "metadata/exiv2_messages.h"
#include "metadata/iptc_models.h"
#include "metadata/metadata_tags.h"
#include "metadata/png_exif_chunk.h"

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* MakerNotes = "maker notes";

struct Kind {
    FREE_IMAGE_MDMODEL model;
    const char* name;
};

// The report's order.
constexpr Kind Kinds[] = {{FIMD_EXIF_MAIN, "EXIF"},
                          {FIMD_EXIF_EXIF, "EXIF camera settings"},
                          {FIMD_EXIF_GPS, "GPS"},
                          {FIMD_EXIF_MAKERNOTE, MakerNotes},
                          {FIMD_EXIF_INTEROP, "EXIF interoperability"},
                          {FIMD_IPTC, "IPTC"},
                          {FIMD_XMP, "XMP"},
                          {FIMD_COMMENTS, "comments"},
                          {FIMD_GEOTIFF, "GeoTIFF"}};

bool HasProfile(FIBITMAP* bitmap)
{
    return FreeImage_GetICCProfile(bitmap)->size > 0;
}

bool Has(FIBITMAP* bitmap, const Kind& kind)
{
    if (kind.model == FIMD_EXIF_MAKERNOTE)
        return TagById(bitmap, FIMD_EXIF_EXIF, MakerNoteTag) != nullptr ||
               FreeImage_GetMetadataCount(FIMD_EXIF_MAKERNOTE, bitmap) > 0;
    return FreeImage_GetMetadataCount(kind.model, bitmap) > 0;
}

// Whether a picture with metadata of this kind can have it in a file of this format.
bool FormatHolds(FREE_IMAGE_FORMAT format, FREE_IMAGE_MDMODEL model)
{
    switch (model) {
    case FIMD_IPTC: return format != FIF_PNG;
    case FIMD_COMMENTS: return format != FIF_TIFF;
    case FIMD_GEOTIFF: return format == FIF_TIFF;
    default: return true;
    }
}

bool ReadWhole(int fd, std::vector<uint8_t>& bytes)
{
    struct stat status {};
    if (fstat(fd, &status) != 0)
        return false;
    bytes.resize(static_cast<std::size_t>(status.st_size));
    for (std::size_t at = 0; at < bytes.size();) {
        const ssize_t got = pread(fd, bytes.data() + at, bytes.size() - at, static_cast<off_t>(at));
        if (got <= 0)
            return false;
        at += static_cast<std::size_t>(got);
    }
    return true;
}

bool WriteWhole(int fd, const std::vector<uint8_t>& bytes)
{
    if (ftruncate(fd, 0) != 0)
        return false;
    for (std::size_t at = 0; at < bytes.size();) {
        const ssize_t put = pwrite(fd, bytes.data() + at, bytes.size() - at, static_cast<off_t>(at));
        if (put <= 0)
            return false;
        at += static_cast<std::size_t>(put);
    }
    return true;
}

// A preview in a maker note shows the picture before the edit, as a thumbnail would.
bool ShowsThePicture(const Exiv2::Exifdatum& datum)
{
    const std::string name = datum.groupName() + "." + datum.tagName();
    return name.find("Preview") != std::string::npos || name.find("Thumbnail") != std::string::npos;
}

bool IsMakerNoteEntry(const Exiv2::Exifdatum& datum)
{
    return Exiv2::ExifTags::isMakerGroup(datum.groupName()) || datum.groupName() == "MakerNote";
}

void Replace(Exiv2::ExifData& exifData, const Exiv2::Exifdatum& datum)
{
    const auto old = exifData.findKey(Exiv2::ExifKey(datum.key()));
    if (old != exifData.end())
        exifData.erase(old);
    exifData.add(datum);
}

// The EXIF the file gets: the camera's own block as exiv2 parsed it, so
// that its maker note is laid out anew rather than moved with offsets that
// no longer hold, without its thumbnail and previews; the tags of the
// models over it, since the program may have changed one. makerNoteKept
// says whether the picture's maker note, if any, is there.
Exiv2::ExifData ExifDataToWrite(FIBITMAP* picture, std::vector<std::string>& refused, bool& makerNoteKept)
{
    Exiv2::ExifData exifData;
    const std::vector<uint8_t> block = CameraExifBlock(picture);
    if (!block.empty()) {
        Exiv2::ExifData camera;
        Exiv2::ExifParser::decode(camera, block.data(), static_cast<uint32_t>(block.size()));
        for (const Exiv2::Exifdatum& datum : camera) {
            const bool fileStatesIt = datum.groupName() == "Image" && LeftToTheFile(datum.tag());
            if (!fileStatesIt && datum.groupName() != "Thumbnail" && !ShowsThePicture(datum) && DirectoryCanHold(datum))
                exifData.add(datum);
        }
    }
    for (const Exiv2::Exifdatum& datum : ExifDataOfModels(picture, refused))
        Replace(exifData, datum);
    makerNoteKept = std::any_of(exifData.begin(), exifData.end(), IsMakerNoteEntry);
    const Exiv2::ExifKey noteKey("Exif.Photo.MakerNote");
    if (const auto note = exifData.findKey(noteKey); note != exifData.end() && !makerNoteKept) {
        std::vector<Exiv2::byte> bytes(static_cast<std::size_t>(note->size()));
        note->copy(bytes.data(), Exiv2::littleEndian);
        if (CanMoveMakerNote(bytes.data(), bytes.size()))
            makerNoteKept = true;
        else
            exifData.erase(note);
    }
    if (FITAG* note = TagById(picture, FIMD_EXIF_EXIF, MakerNoteTag); note != nullptr && !makerNoteKept) {
        const auto* bytes = static_cast<const Exiv2::byte*>(FreeImage_GetTagValue(note));
        const DWORD length = FreeImage_GetTagLength(note);
        if (bytes != nullptr && CanMoveMakerNote(bytes, length)) {
            const Exiv2::DataValue value(bytes, static_cast<long>(length));
            exifData.add(noteKey, &value);
            makerNoteKept = true;
        }
    }
    return exifData;
}

// Tags about a JPEG stream's own layout, which a TIFF file may not hold.
bool JpegStreamTag(const Exiv2::Exifdatum& datum)
{
    static constexpr uint16_t Tags[] = {0x9101, 0x9102, 0xA002, 0xA003}; // components, bits, pixel sizes
    return datum.groupName() == "Photo" && std::find(std::begin(Tags), std::end(Tags), datum.tag()) != std::end(Tags);
}

// The file's own entries stay (layout, resolution, GeoTIFF); the picture's tags take their place beside them.
void MergeIntoTiffEntries(const Exiv2::ExifData& tags, Exiv2::ExifData& file)
{
    for (const Exiv2::Exifdatum& datum : tags) {
        if ((datum.groupName() == "Image" && TiffWriterStates(datum.tag())) || JpegStreamTag(datum))
            continue;
        Replace(file, datum);
    }
}

// What the picture's kinds lack in a file of a format exiv2 does not write:
// read back through FreeImage, which wrote it.
void NameKindsMissingAfterEncoder(int fd, FREE_IMAGE_FORMAT format, FIBITMAP* picture,
                                  std::vector<std::string>& notWritten)
{
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    const int flags = FreeImage_FIFSupportsNoPixels(format) ? FIF_LOAD_NOPIXELS : 0;
    FIBITMAP* written = FreeImage_Load(format, path.c_str(), flags);
    for (const Kind& kind : Kinds)
        if (Has(picture, kind) && (written == nullptr || !Has(written, kind)))
            notWritten.emplace_back(kind.name);
    if (HasProfile(picture) && (written == nullptr || !HasProfile(written)))
        notWritten.emplace_back("ICC profile");
    if (written != nullptr)
        FreeImage_Unload(written);
}

} // namespace

bool AddMetadataToFile(int fd, FREE_IMAGE_FORMAT format, FIBITMAP* picture, FIBITMAP* encoded,
                       std::vector<std::string>& notWritten, std::string& error)
{
    notWritten.clear();
    const std::vector<std::string> damaged = DamagedMetadataOf(picture);
    // A picture without metadata leaves the file as its encoder wrote it.
    if (std::none_of(std::begin(Kinds), std::end(Kinds), [&](const Kind& kind) { return Has(picture, kind); }) &&
        !HasProfile(picture) && CameraExifBlock(picture).empty() && damaged.empty())
        return true;
    if (format != FIF_JPEG && format != FIF_PNG && format != FIF_TIFF) {
        NameKindsMissingAfterEncoder(fd, format, picture, notWritten);
        notWritten.insert(notWritten.end(), damaged.begin(), damaged.end());
        return true;
    }
    std::vector<uint8_t> file;
    if (!ReadWhole(fd, file)) {
        error = std::string("cannot read the file back: ") + std::strerror(errno != 0 ? errno : EIO);
        return false;
    }
    std::vector<std::string> refused;
    bool makerNoteKept = false;
    Exiv2::ExifData exifData = ExifDataToWrite(picture, refused, makerNoteKept);
    const std::string packet = XmpPacketOf(picture);
    Exiv2::XmpData parsedXmp;
    const bool xmpKept = !packet.empty() && Exiv2::XmpParser::decode(parsedXmp, packet) == 0;
    bool iptcKept = false;
    try {
        const Exiv2Messages messages;
        std::unique_ptr<Exiv2::Image> image = Exiv2::ImageFactory::open(file.data(), static_cast<long>(file.size()));
        image->readMetadata();
        if (format == FIF_TIFF) {
            MergeIntoTiffEntries(exifData, image->exifData());
        } else if (format == FIF_JPEG) {
            // A JPEG file's EXIF states how its chroma samples sit: centred, as every JPEG encoder places them.
            if (!exifData.empty() && exifData.findKey(Exiv2::ExifKey("Exif.Image.YCbCrPositioning")) == exifData.end())
                exifData["Exif.Image.YCbCrPositioning"] = uint16_t{1};
            image->setExifData(exifData);
        } else {
            // exiv2 would put PNG's EXIF in a text chunk; the format's own chunk is eXIf.
            image->clearExifData();
        }
        // FreeImage's TIFF reader overruns on the IPTC entry of a big-endian file.
        iptcKept = format != FIF_PNG && !(format == FIF_TIFF && image->byteOrder() == Exiv2::bigEndian);
        if (iptcKept)
            image->setIptcData(IptcDataOfModel(picture));
        else
            image->clearIptcData();
        image->writeXmpFromPacket(true);
        if (xmpKept)
            image->setXmpPacket(packet);
        else
            image->clearXmpPacket();
        image->writeMetadata();
        Exiv2::BasicIo& io = image->io();
        file.resize(static_cast<std::size_t>(io.size()));
        io.seek(0, Exiv2::BasicIo::beg);
        if (io.read(file.data(), static_cast<long>(file.size())) != static_cast<long>(file.size()))
            throw Exiv2::Error(Exiv2::kerFailedToReadImageData);
        if (format == FIF_PNG && !exifData.empty()) {
            Exiv2::Blob block;
            Exiv2::ExifParser::encode(block, Exiv2::littleEndian, exifData);
            PutPngExifChunk(file, block);
        }
    } catch (const Exiv2::AnyError& failure) {
        error = std::string("the metadata could not be written: ") + failure.what();
        return false;
    }
    if (!WriteWhole(fd, file)) {
        error = std::string("writing failed: ") + std::strerror(errno != 0 ? errno : EIO);
        return false;
    }
    for (const Kind& kind : Kinds) {
        if (!Has(picture, kind))
            continue;
        const bool lost = !FormatHolds(format, kind.model) ||
                          std::find(refused.begin(), refused.end(), kind.name) != refused.end() ||
                          (kind.model == FIMD_EXIF_MAKERNOTE && !makerNoteKept) || (kind.model == FIMD_XMP && !xmpKept) || (kind.model == FIMD_IPTC && !iptcKept);
        if (lost)
            notWritten.emplace_back(kind.name);
    }
    if (HasProfile(picture) && !HasProfile(encoded))
        notWritten.emplace_back("ICC profile");
    notWritten.insert(notWritten.end(), damaged.begin(), damaged.end());
    return true;
}
