// SPDX-License-Identifier: MIT
#include "picture/ifd_layout.h"

#include <algorithm>
#include <bit>

namespace {

uint32_t Padded(std::size_t length)
{
    return static_cast<uint32_t>(length + (length & 1));
}

bool OutOfLine(const IfdEntry& entry)
{
    return !entry.verbatim && entry.value.size() > 4;
}

// Bytes each element of type is swapped by: rationals are pairs of 4-byte numbers.
std::size_t ElementSize(uint16_t type)
{
    return type == 5 || type == 10 ? 4 : TypeSize(type);
}

} // namespace

uint32_t TypeSize(uint16_t type)
{
    static constexpr uint32_t Sizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
    return type < std::size(Sizes) ? Sizes[type] : 0;
}

uint32_t IfdSize(const std::vector<IfdEntry>& entries)
{
    uint32_t size = 2 + 12 * static_cast<uint32_t>(entries.size()) + 4;
    for (const IfdEntry& entry : entries)
        if (OutOfLine(entry))
            size += Padded(entry.value.size());
    return size;
}

void AppendIfd(std::vector<uint8_t>& out, uint32_t outStart, ByteOrder order, std::vector<IfdEntry> entries,
               uint32_t next)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [](const IfdEntry& a, const IfdEntry& b) { return a.tag < b.tag; });
    const auto start = static_cast<uint32_t>(outStart + out.size());
    uint32_t valueAt = start + 2 + 12 * static_cast<uint32_t>(entries.size()) + 4;
    Put16(out, order, static_cast<uint16_t>(entries.size()));
    for (const IfdEntry& entry : entries) {
        Put16(out, order, entry.tag);
        Put16(out, order, entry.type);
        Put32(out, order, entry.count);
        if (OutOfLine(entry)) {
            Put32(out, order, valueAt);
            valueAt += Padded(entry.value.size());
        } else {
            std::vector<uint8_t> field = entry.value;
            field.resize(4, 0);
            out.insert(out.end(), field.begin(), field.end());
        }
    }
    Put32(out, order, next);
    for (const IfdEntry& entry : entries)
        if (OutOfLine(entry)) {
            out.insert(out.end(), entry.value.begin(), entry.value.end());
            if (entry.value.size() & 1)
                out.push_back(0);
        }
}

void Put16(std::vector<uint8_t>& out, ByteOrder order, uint16_t value)
{
    if (order == ByteOrder::Little)
        out.insert(out.end(), {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)});
    else
        out.insert(out.end(), {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)});
}

void Put32(std::vector<uint8_t>& out, ByteOrder order, uint32_t value)
{
    if (order == ByteOrder::Little) {
        Put16(out, order, static_cast<uint16_t>(value));
        Put16(out, order, static_cast<uint16_t>(value >> 16));
    } else {
        Put16(out, order, static_cast<uint16_t>(value >> 16));
        Put16(out, order, static_cast<uint16_t>(value));
    }
}

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

std::vector<uint8_t> SwapValues(const uint8_t* values, std::size_t length, uint16_t type, ByteOrder order)
{
    std::vector<uint8_t> swapped(values, values + length);
    const ByteOrder native = std::endian::native == std::endian::little ? ByteOrder::Little : ByteOrder::Big;
    const std::size_t element = ElementSize(type);
    if (order == native || element <= 1)
        return swapped;
    for (std::size_t at = 0; at + element <= length; at += element)
        std::reverse(swapped.begin() + static_cast<std::ptrdiff_t>(at),
                     swapped.begin() + static_cast<std::ptrdiff_t>(at + element));
    return swapped;
}
