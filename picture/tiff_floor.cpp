// SPDX-License-Identifier: MIT
#include "picture/tiff_floor.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <limits>
#include <map>
#include <optional>
#include <vector>

namespace {

enum class ByteOrder { Little, Big };

uint16_t Get16(const uint8_t* bytes, ByteOrder order)
{
    return order == ByteOrder::Little ? static_cast<uint16_t>(bytes[0] | bytes[1] << 8)
                                      : static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
}

uint32_t Get32(const uint8_t* bytes, ByteOrder order)
{
    const uint32_t first = Get16(bytes, order);
    const uint32_t second = Get16(bytes + 2, order);
    return order == ByteOrder::Little ? first | second << 16 : first << 16 | second;
}

constexpr uint16_t ImageWidth = 256, ImageLength = 257, BitsPerSample = 258, Compression = 259, Photometric = 262,
                   StripOffsets = 273, SamplesPerPixel = 277, StripByteCounts = 279, TileOffsets = 324,
                   TileByteCounts = 325;
constexpr uint32_t MostChunks = 1 << 20;

// The most bytes of samples one byte of each coding can give: LZW codes of
// at least 9 bits stand for strings of at most 4096 bytes, deflate codes 258
// bytes in two bits, PackBits 128 bytes in two, and JPEG needs a bit for
// each 8 x 8 block of a component. 0 where no bound is known.
double MostRatio(long long compression)
{
    switch (compression) {
    case 1: return 1;
    case 5: return 4096.0 * 8 / 9;
    case 8:
    case 32946: return 1032;
    case 32773: return 64;
    case 6:
    case 7: return 1024;
    default: return 0;
    }
}

class TiffReader {
public:
    TiffReader(const std::string& path, std::uintmax_t fileBytes) : m_file(path, std::ios::binary), m_size(fileBytes) {}

    bool ReadAt(std::uint64_t offset, uint8_t* bytes, std::size_t count)
    {
        if (offset > m_size || count > m_size - offset)
            return false;
        m_file.seekg(static_cast<std::streamoff>(offset));
        m_file.read(reinterpret_cast<char*>(bytes), static_cast<std::streamsize>(count));
        return m_file.gcount() == static_cast<std::streamsize>(count);
    }

    // The values of a SHORT or LONG entry, from the entry itself or where it points.
    std::optional<std::vector<std::uint64_t>> Values(const uint8_t* entry, ByteOrder order)
    {
        const uint16_t type = Get16(entry + 2, order);
        const uint32_t count = Get32(entry + 4, order);
        const uint32_t size = type == 3 ? 2 : type == 4 ? 4 : 0;
        if (size == 0 || count == 0 || count > MostChunks)
            return std::nullopt;
        std::vector<uint8_t> bytes(static_cast<std::size_t>(count) * size);
        if (bytes.size() <= 4)
            std::copy_n(entry + 8, bytes.size(), bytes.begin());
        else if (!ReadAt(Get32(entry + 8, order), bytes.data(), bytes.size()))
            return std::nullopt;
        std::vector<std::uint64_t> values(count);
        for (uint32_t i = 0; i < count; ++i)
            values[i] = size == 2 ? Get16(&bytes[i * size], order) : Get32(&bytes[i * size], order);
        return values;
    }

private:
    std::ifstream m_file;
    std::uintmax_t m_size;
};

} // namespace

std::optional<ClaimFloor> ReadTiffFloor(const std::string& path, std::uintmax_t fileBytes)
{
    TiffReader reader(path, fileBytes);
    std::array<uint8_t, 8> header{};
    if (!reader.ReadAt(0, header.data(), header.size()))
        return std::nullopt;
    const bool little = header[0] == 'I' && header[1] == 'I';
    if (!little && !(header[0] == 'M' && header[1] == 'M'))
        return std::nullopt;
    const ByteOrder order = little ? ByteOrder::Little : ByteOrder::Big;
    if (Get16(&header[2], order) != 42)
        return std::nullopt;
    const std::uint64_t directory = Get32(&header[4], order);
    std::array<uint8_t, 2> countBytes{};
    if (!reader.ReadAt(directory, countBytes.data(), countBytes.size()))
        return std::nullopt;
    std::vector<uint8_t> entries(static_cast<std::size_t>(Get16(countBytes.data(), order)) * 12);
    if (!reader.ReadAt(directory + 2, entries.data(), entries.size()))
        return std::nullopt;

    std::map<uint16_t, std::vector<std::uint64_t>> fields;
    for (std::size_t at = 0; at < entries.size(); at += 12) {
        const uint16_t tag = Get16(&entries[at], order);
        if (tag == ImageWidth || tag == ImageLength || tag == BitsPerSample || tag == Compression || tag == Photometric ||
            tag == SamplesPerPixel || tag == StripOffsets || tag == StripByteCounts || tag == TileOffsets ||
            tag == TileByteCounts)
            if (const auto values = reader.Values(&entries[at], order))
                fields[tag] = *values;
    }
    const auto first = [&](uint16_t tag, std::uint64_t otherwise) {
        return fields.contains(tag) ? fields[tag].front() : otherwise;
    };
    const bool tiled = fields.contains(TileOffsets);
    const std::vector<std::uint64_t>& offsets = fields[tiled ? TileOffsets : StripOffsets];
    const std::vector<std::uint64_t>& counts = fields[tiled ? TileByteCounts : StripByteCounts];
    // Subsampled YCbCr stores as few as 1.125 of its 3 samples a pixel.
    const double ratio = MostRatio(static_cast<long long>(first(Compression, 1))) * (first(Photometric, 2) == 6 ? 3 : 1);
    if (!fields.contains(ImageWidth) || !fields.contains(ImageLength) || offsets.empty() ||
        offsets.size() != counts.size() || ratio == 0)
        return std::nullopt;

    ClaimFloor floor;
    floor.claimed = ClaimedSize{static_cast<long long>(first(ImageWidth, 0)), static_cast<long long>(first(ImageLength, 0))};
    // Only the part of each strip inside the file can hold samples.
    std::uint64_t held = 0;
    for (std::size_t i = 0; i < offsets.size(); ++i)
        if (offsets[i] < fileBytes)
            held += std::min<std::uint64_t>(counts[i], fileBytes - offsets[i]);
    held = std::min<std::uint64_t>(held, fileBytes);
    const double sampleBytes = static_cast<double>(floor.claimed.width) * static_cast<double>(floor.claimed.height) *
                               static_cast<double>(first(SamplesPerPixel, 1) * first(BitsPerSample, 1)) / 8;
    const double needed = std::ceil(sampleBytes / ratio);
    // Bytes outside the strips hold no samples: the file must have them besides.
    const double least = needed + static_cast<double>(fileBytes - held);
    floor.leastFileBytes =
        least >= 1e18 ? std::numeric_limits<std::uint64_t>::max() : static_cast<std::uint64_t>(least);
    return floor;
}
