// SPDX-License-Identifier: MIT
#include "metadata/exif_models.h"

#include "metadata/metadata_tags.h"

#include <exiv2/tags.hpp>
#include <exiv2/value.hpp>

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <utility>

namespace {

constexpr uint16_t ExifPointerTag = 0x8769;
constexpr uint16_t GpsPointerTag = 0x8825;
constexpr uint16_t InteropPointerTag = 0xA005;

// FreeImage's tag types are TIFF's field types; 1 to 12 are those a
// classic directory holds.
uint32_t TypeSize(uint16_t type)
{
    static constexpr uint32_t Sizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
    return type < std::size(Sizes) ? Sizes[type] : 0;
}

Exiv2::ByteOrder HostOrder()
{
    return std::endian::native == std::endian::little ? Exiv2::littleEndian : Exiv2::bigEndian;
}

bool Skipped(FREE_IMAGE_MDMODEL model, uint16_t id)
{
    if (model == FIMD_EXIF_MAIN)
        return LeftToTheFile(id);
    return model == FIMD_EXIF_EXIF && (id == ExifPointerTag || id == GpsPointerTag || id == InteropPointerTag);
}

// The tag's value as exiv2 holds it; null when it cannot be written as it is.
std::unique_ptr<Exiv2::Value> ValueOf(FITAG* tag)
{
    const auto type = static_cast<uint16_t>(FreeImage_GetTagType(tag));
    const auto* bytes = static_cast<const Exiv2::byte*>(FreeImage_GetTagValue(tag));
    const DWORD length = FreeImage_GetTagLength(tag);
    const DWORD count = FreeImage_GetTagCount(tag);
    if (TypeSize(type) == 0 || bytes == nullptr || length == 0)
        return nullptr;
    std::unique_ptr<Exiv2::Value> value = Exiv2::Value::create(static_cast<Exiv2::TypeId>(type));
    if (type == FIDT_ASCII) {
        // Read from text, exiv2 gives the value its terminating zero.
        const std::string text(reinterpret_cast<const char*>(bytes), length);
        value->read(text.substr(0, text.find_last_not_of('\0') + 1));
        return value;
    }
    const uint64_t size = static_cast<uint64_t>(count) * TypeSize(type);
    if (count == 0 || size > length || value->read(bytes, static_cast<long>(size), HostOrder()) != 0)
        return nullptr;
    return value;
}

// Text ends in its zero; exiv2 would add one, which a tag of fixed length cannot take.
bool Terminated(const Exiv2::Exifdatum& datum)
{
    if (datum.typeId() != Exiv2::asciiString)
        return true;
    std::vector<Exiv2::byte> bytes(static_cast<std::size_t>(datum.size()));
    datum.copy(bytes.data(), Exiv2::littleEndian);
    return !bytes.empty() && bytes.back() == 0;
}

} // namespace

bool LeftToTheFile(uint16_t tag)
{
    static constexpr uint16_t Tags[] = {
        0x00FE, 0x00FF, 0x0100, 0x0101, 0x0102, 0x0103, 0x0106, 0x0107, 0x0108, 0x0109, 0x010A, 0x0111,
        0x0115, 0x0116, 0x0117, 0x0118, 0x0119, 0x011C, 0x0122, 0x0123, 0x012D, 0x013D, 0x013E, 0x013F,
        0x0140, 0x0142, 0x0143, 0x0144, 0x0145, 0x014A, 0x014C, 0x0152, 0x0153, 0x0154, 0x0155, 0x015B,
        0x0200, 0x0201, 0x0202, 0x0203, 0x0205, 0x0206, 0x0207, 0x0208, 0x0209, 0x0211, 0x0212, 0x0213,
        0x0214, 0x02BC, 0x83BB, 0x8769, 0x8773, 0x8825, 0xA005};
    return std::binary_search(std::begin(Tags), std::end(Tags), tag);
}

bool TiffWriterStates(uint16_t tag)
{
    return tag == 0x011A || tag == 0x011B || tag == 0x0128;
}

bool CanMoveMakerNote(const uint8_t* note, std::size_t length)
{
    for (std::size_t at = 0; at + 4 <= std::min<std::size_t>(length, 20); ++at)
        if (std::memcmp(note + at, "II*\0", 4) == 0 || std::memcmp(note + at, "MM\0*", 4) == 0)
            return true;
    return false;
}

bool DirectoryCanHold(const Exiv2::Exifdatum& datum)
{
    if (TypeSize(static_cast<uint16_t>(datum.typeId())) == 0 || datum.count() == 0)
        return false;
    // A tag the standard gives a fixed number of values holds that many or is damaged.
    for (const Exiv2::TagInfo* info = Exiv2::ExifTags::tagList(datum.groupName()); info != nullptr && info->tag_ != 0xFFFF;
         ++info)
        if (info->tag_ == datum.tag())
            return info->count_ <= 0 || (datum.count() == static_cast<long>(info->count_) && Terminated(datum));
    return true;
}

const std::vector<ExifModel>& ExifModels()
{
    static const std::vector<ExifModel> models{{FIMD_EXIF_MAIN, "Image", "EXIF"},
                                               {FIMD_EXIF_EXIF, "Photo", "EXIF camera settings"},
                                               {FIMD_EXIF_GPS, "GPSInfo", "GPS"},
                                               {FIMD_EXIF_INTEROP, "Iop", "EXIF interoperability"}};
    return models;
}

Exiv2::ExifData ExifDataOfModels(FIBITMAP* bitmap, std::vector<std::string>& refused)
{
    Exiv2::ExifData exifData;
    for (const ExifModel& each : ExifModels()) {
        bool refusedOne = false;
        for (FITAG* tag : TagsOf(bitmap, each.model)) {
            const WORD id = FreeImage_GetTagID(tag);
            if (Skipped(each.model, id) || (each.model == FIMD_EXIF_EXIF && id == MakerNoteTag))
                continue;
            const std::unique_ptr<Exiv2::Value> value = ValueOf(tag);
            if (value.get() == nullptr) {
                refusedOne = true;
                continue;
            }
            exifData.add(Exiv2::ExifKey(id, each.group), value.get());
        }
        if (refusedOne)
            refused.emplace_back(each.kind);
    }
    return exifData;
}

void PutExifDataInModels(const Exiv2::ExifData& exifData, FIBITMAP* bitmap)
{
    // FreeImage's names stay where its reader knew the tag.
    std::map<std::pair<FREE_IMAGE_MDMODEL, WORD>, std::string> names;
    for (const ExifModel& each : ExifModels()) {
        for (FITAG* tag : TagsOf(bitmap, each.model))
            names[{each.model, FreeImage_GetTagID(tag)}] = FreeImage_GetTagKey(tag);
        FreeImage_SetMetadata(each.model, bitmap, nullptr, nullptr);
    }
    for (const Exiv2::Exifdatum& datum : exifData) {
        const auto model = std::find_if(ExifModels().begin(), ExifModels().end(),
                                         [&](const ExifModel& m) { return datum.groupName() == m.group; });
        const auto type = static_cast<uint16_t>(datum.typeId());
        if (model == ExifModels().end() || !DirectoryCanHold(datum) || Skipped(model->model, datum.tag()))
            continue;
        std::vector<Exiv2::byte> bytes(static_cast<std::size_t>(datum.size()));
        if (!bytes.empty())
            datum.copy(bytes.data(), HostOrder());
        FITAG* tag = FreeImage_CreateTag();
        if (tag == nullptr)
            return;
        const auto known = names.find({model->model, datum.tag()});
        const std::string key = known != names.end() ? known->second : datum.tagName();
        const auto length = static_cast<DWORD>(bytes.size());
        if (FreeImage_SetTagKey(tag, key.c_str()) && FreeImage_SetTagID(tag, datum.tag()) &&
            FreeImage_SetTagType(tag, static_cast<FREE_IMAGE_MDTYPE>(type)) &&
            FreeImage_SetTagCount(tag, length / TypeSize(type)) && FreeImage_SetTagLength(tag, length) &&
            (length == 0 || FreeImage_SetTagValue(tag, bytes.data())))
            FreeImage_SetMetadata(model->model, bitmap, key.c_str(), tag);
        FreeImage_DeleteTag(tag);
    }
}
