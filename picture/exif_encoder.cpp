// SPDX-License-Identifier: MIT
#include "picture/exif_encoder.h"

#include "picture/metadata_tags.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint16_t ExifPointerTag = 0x8769;
constexpr uint16_t GpsPointerTag = 0x8825;
constexpr uint16_t InteropPointerTag = 0xA005;
constexpr uint16_t LongType = 4;

IfdEntry Pointer(uint16_t tag, uint32_t offset, ByteOrder order)
{
    IfdEntry entry{tag, LongType, 1, {}, false};
    Put32(entry.value, order, offset);
    return entry;
}

std::vector<IfdEntry> EntriesOf(FIBITMAP* bitmap, FREE_IMAGE_MDMODEL model, ByteOrder order)
{
    std::vector<IfdEntry> entries;
    for (FITAG* tag : TagsOf(bitmap, model)) {
        const WORD id = FreeImage_GetTagID(tag);
        const auto type = static_cast<uint16_t>(FreeImage_GetTagType(tag));
        const auto* value = static_cast<const uint8_t*>(FreeImage_GetTagValue(tag));
        const DWORD length = FreeImage_GetTagLength(tag);
        const DWORD count = FreeImage_GetTagCount(tag);
        if ((model == FIMD_EXIF_MAIN && LeftToTheFile(id)) || TypeSize(type) == 0 || value == nullptr || length == 0)
            continue;
        if (model == FIMD_EXIF_EXIF && (id == ExifPointerTag || id == GpsPointerTag || id == InteropPointerTag))
            continue;
        if (model == FIMD_EXIF_EXIF && id == MakerNoteTag && !CanMoveMakerNote(value, length))
            continue;
        IfdEntry entry{id, type, count, {}, false};
        if (type == FIDT_ASCII) {
            entry.value.assign(value, value + length);
            if (entry.value.back() != 0)
                entry.value.push_back(0);
            entry.count = static_cast<uint32_t>(entry.value.size());
        } else {
            if (count == 0 || static_cast<uint64_t>(count) * TypeSize(type) > length)
                continue;
            entry.value = SwapValues(value, static_cast<std::size_t>(count) * TypeSize(type), type, order);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
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

bool CanMoveMakerNote(const uint8_t* note, std::size_t length)
{
    for (std::size_t at = 0; at + 4 <= std::min<std::size_t>(length, 20); ++at)
        if (std::memcmp(note + at, "II*\0", 4) == 0 || std::memcmp(note + at, "MM\0*", 4) == 0)
            return true;
    return false;
}

ExifDirectories ExifTagsOf(FIBITMAP* bitmap, ByteOrder order)
{
    return {EntriesOf(bitmap, FIMD_EXIF_MAIN, order), EntriesOf(bitmap, FIMD_EXIF_EXIF, order),
            EntriesOf(bitmap, FIMD_EXIF_GPS, order), EntriesOf(bitmap, FIMD_EXIF_INTEROP, order)};
}

uint32_t AppendExifDirectories(std::vector<uint8_t>& out, uint32_t outStart, ByteOrder order,
                               ExifDirectories directories, uint32_t next)
{
    // Pointers take their place first, so that every directory's size is known.
    const bool hasExif = !directories.exif.empty() || !directories.interop.empty();
    const bool hasGps = !directories.gps.empty();
    const bool hasInterop = !directories.interop.empty();
    if (hasExif)
        directories.main.push_back(Pointer(ExifPointerTag, 0, order));
    if (hasGps)
        directories.main.push_back(Pointer(GpsPointerTag, 0, order));
    if (hasInterop)
        directories.exif.push_back(Pointer(InteropPointerTag, 0, order));

    const auto mainAt = static_cast<uint32_t>(outStart + out.size());
    const uint32_t exifAt = mainAt + IfdSize(directories.main);
    const uint32_t gpsAt = exifAt + (hasExif ? IfdSize(directories.exif) : 0);
    const uint32_t interopAt = gpsAt + (hasGps ? IfdSize(directories.gps) : 0);
    for (IfdEntry& entry : directories.main) {
        if (entry.tag == ExifPointerTag && hasExif)
            entry = Pointer(ExifPointerTag, exifAt, order);
        if (entry.tag == GpsPointerTag && hasGps)
            entry = Pointer(GpsPointerTag, gpsAt, order);
    }
    if (hasInterop)
        directories.exif.back() = Pointer(InteropPointerTag, interopAt, order);

    AppendIfd(out, outStart, order, std::move(directories.main), next);
    if (hasExif)
        AppendIfd(out, outStart, order, std::move(directories.exif), 0);
    if (hasGps)
        AppendIfd(out, outStart, order, std::move(directories.gps), 0);
    if (hasInterop)
        AppendIfd(out, outStart, order, std::move(directories.interop), 0);
    return mainAt;
}

std::vector<uint8_t> EncodeExif(FIBITMAP* bitmap)
{
    ExifDirectories directories = ExifTagsOf(bitmap, ByteOrder::Little);
    if (directories.main.empty() && directories.exif.empty() && directories.gps.empty() &&
        directories.interop.empty())
        return {};
    std::vector<uint8_t> block{'I', 'I', 42, 0};
    Put32(block, ByteOrder::Little, 8);
    AppendExifDirectories(block, 0, ByteOrder::Little, std::move(directories), 0);
    return block;
}
