// SPDX-License-Identifier: MIT
#include "picture/exif_thumbnail.h"

#include "picture/ifd_layout.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint16_t StripOffsetsTag = 0x0111;
constexpr uint16_t StripByteCountsTag = 0x0117;
constexpr uint16_t ThumbnailOffsetTag = 0x0201;
constexpr uint16_t ThumbnailLengthTag = 0x0202;

// The entry's values as numbers (SHORT or LONG), when they lie in the block.
std::vector<uint32_t> Numbers(const std::vector<uint8_t>& block, std::size_t entry, ByteOrder order)
{
    const uint16_t type = Get16(&block[entry + 2], order);
    const uint32_t count = Get32(&block[entry + 4], order);
    const uint32_t width = type == 3 ? 2 : type == 4 ? 4 : 0;
    if (width == 0 || count == 0 || count > block.size() / width)
        return {};
    std::size_t at = entry + 8;
    if (width * count > 4) {
        at = Get32(&block[entry + 8], order);
        if (at > block.size() || width * count > block.size() - at)
            return {};
    }
    std::vector<uint32_t> numbers;
    for (uint32_t i = 0; i < count; ++i)
        numbers.push_back(width == 2 ? Get16(&block[at + 2 * i], order) : Get32(&block[at + 4 * i], order));
    return numbers;
}

void Zero(std::vector<uint8_t>& block, uint32_t offset, uint32_t length)
{
    if (offset < block.size())
        std::fill_n(block.begin() + offset, std::min<std::size_t>(length, block.size() - offset), 0);
}

} // namespace

std::vector<uint8_t> WithoutThumbnail(const uint8_t* bytes, std::size_t size)
{
    std::vector<uint8_t> block(bytes, bytes + size);
    if (size < 8 || (std::memcmp(bytes, "II", 2) != 0 && std::memcmp(bytes, "MM", 2) != 0))
        return block;
    const ByteOrder order = bytes[0] == 'I' ? ByteOrder::Little : ByteOrder::Big;
    const uint32_t first = Get32(&block[4], order);
    if (first > size - 2)
        return block;
    const std::size_t nextAt = first + 2 + 12u * Get16(&block[first], order);
    if (nextAt + 4 > size)
        return block;
    const uint32_t second = Get32(&block[nextAt], order);
    if (second == 0)
        return block;
    if (second <= size - 2) {
        const uint16_t count = Get16(&block[second], order);
        std::vector<uint32_t> offsets, lengths, stripOffsets, stripLengths;
        for (uint16_t i = 0; i < count && second + 2 + 12u * (i + 1) <= size; ++i) {
            const std::size_t entry = second + 2 + 12u * i;
            switch (Get16(&block[entry], order)) {
            case ThumbnailOffsetTag: offsets = Numbers(block, entry, order); break;
            case ThumbnailLengthTag: lengths = Numbers(block, entry, order); break;
            case StripOffsetsTag: stripOffsets = Numbers(block, entry, order); break;
            case StripByteCountsTag: stripLengths = Numbers(block, entry, order); break;
            default: break;
            }
        }
        if (offsets.size() == 1 && lengths.size() == 1)
            Zero(block, offsets[0], lengths[0]);
        for (std::size_t i = 0; i < std::min(stripOffsets.size(), stripLengths.size()); ++i)
            Zero(block, stripOffsets[i], stripLengths[i]);
    }
    std::fill_n(block.begin() + static_cast<std::ptrdiff_t>(nextAt), 4, 0);
    return block;
}
