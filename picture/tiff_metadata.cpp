// SPDX-License-Identifier: MIT
#include "picture/tiff_metadata.h"

#include "picture/exif_encoder.h"
#include "picture/iptc_encoder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <utility>
#include <unistd.h>

namespace {

constexpr uint16_t ExifPointerTag = 0x8769;
constexpr uint16_t GpsPointerTag = 0x8825;
constexpr uint16_t IptcTag = 0x83BB;
constexpr uint16_t LongType = 4;
constexpr uint16_t MaxEntries = 4096;
constexpr uint64_t ClassicTiffLimit = uint64_t{1} << 32;

bool ReadAll(int fd, uint64_t offset, uint8_t* into, std::size_t size)
{
    while (size > 0) {
        const ssize_t got = pread(fd, into, size, static_cast<off_t>(offset));
        if (got <= 0)
            return false;
        into += got;
        offset += static_cast<uint64_t>(got);
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

bool WriteAll(int fd, uint64_t offset, const uint8_t* bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t put = pwrite(fd, bytes, size, static_cast<off_t>(offset));
        if (put <= 0)
            return false;
        bytes += put;
        offset += static_cast<uint64_t>(put);
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

bool Fail(std::string& error, const char* what)
{
    error = std::string(what) + ": " + std::strerror(errno != 0 ? errno : EIO);
    return false;
}

// The IPTC block as a TIFF holds it: whole LONGs, bytes in their own order,
// and at least one zero after the datasets, where FreeImage's reader stops
// (it reads on past the entry's end otherwise).
IfdEntry IptcEntry(std::vector<uint8_t> block)
{
    block.resize((block.size() + 4) / 4 * 4, 0);
    return IfdEntry{IptcTag, LongType, static_cast<uint32_t>(block.size() / 4), std::move(block), false};
}

bool HasTag(const std::vector<IfdEntry>& entries, uint16_t tag)
{
    return std::any_of(entries.begin(), entries.end(), [tag](const IfdEntry& entry) { return entry.tag == tag; });
}

} // namespace

bool TiffWriterStates(uint16_t tag)
{
    // XResolution, YResolution, ResolutionUnit.
    return tag == 0x011A || tag == 0x011B || tag == 0x0128;
}

bool AddMetadataToTiff(int fd, FIBITMAP* bitmap, std::string& error)
{
    errno = 0;
    uint8_t header[8];
    if (!ReadAll(fd, 0, header, sizeof header))
        return Fail(error, "cannot read the written TIFF file back");
    const ByteOrder order = header[0] == 'M' ? ByteOrder::Big : ByteOrder::Little;
    if (Get16(header + 2, order) != 42)
        return true;
    ExifDirectories directories = ExifTagsOf(bitmap, order);
    // FreeImage's reader overruns its buffer on IPTC in big-endian files.
    std::vector<uint8_t> iptc = order == ByteOrder::Little ? EncodeIptc(bitmap) : std::vector<uint8_t>();
    if (directories.main.empty() && directories.exif.empty() && directories.gps.empty() &&
        directories.interop.empty() && iptc.empty())
        return true;

    const uint32_t firstAt = Get32(header + 4, order);
    uint8_t countBytes[2];
    if (!ReadAll(fd, firstAt, countBytes, 2))
        return Fail(error, "cannot read the written TIFF file back");
    const uint16_t count = Get16(countBytes, order);
    std::vector<uint8_t> old(12u * count + 4);
    if (count > MaxEntries || !ReadAll(fd, firstAt + 2u, old.data(), old.size()))
        return Fail(error, "cannot read the written TIFF file back");

    // The picture's tags replace the writer's, except where it states the picture itself.
    const bool addsExif = !directories.exif.empty() || !directories.interop.empty();
    const bool addsGps = !directories.gps.empty();
    std::vector<IfdEntry> mainTags = std::exchange(directories.main, {});
    std::erase_if(mainTags, [](const IfdEntry& entry) { return TiffWriterStates(entry.tag); });
    for (uint16_t i = 0; i < count; ++i) {
        const uint8_t* raw = &old[12u * i];
        IfdEntry entry{Get16(raw, order), Get16(raw + 2, order), Get32(raw + 4, order),
                       std::vector<uint8_t>(raw + 8, raw + 12), true};
        const bool replaced = HasTag(mainTags, entry.tag) || (entry.tag == ExifPointerTag && addsExif) ||
                              (entry.tag == GpsPointerTag && addsGps) || (entry.tag == IptcTag && !iptc.empty());
        if (!replaced)
            directories.main.push_back(std::move(entry));
    }
    directories.main.insert(directories.main.end(), mainTags.begin(), mainTags.end());
    if (!iptc.empty())
        directories.main.push_back(IptcEntry(std::move(iptc)));
    const uint32_t next = Get32(&old[12u * count], order);

    struct stat status {};
    if (fstat(fd, &status) != 0)
        return Fail(error, "cannot read the written TIFF file back");
    const auto end = static_cast<uint64_t>(status.st_size);
    if (end >= ClassicTiffLimit)
        return true;
    // Directories start on an even offset.
    std::vector<uint8_t> tail(end & 1, 0);
    const uint32_t newFirst =
        AppendExifDirectories(tail, static_cast<uint32_t>(end), order, std::move(directories), next);
    if (end + tail.size() >= ClassicTiffLimit)
        return true;
    std::vector<uint8_t> pointer;
    Put32(pointer, order, newFirst);
    errno = 0;
    if (!WriteAll(fd, end, tail.data(), tail.size()) || !WriteAll(fd, 4, pointer.data(), pointer.size()))
        return Fail(error, "writing failed");
    return true;
}
