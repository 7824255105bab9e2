// SPDX-License-Identifier: MIT
// Image file directories laid out as bytes: the structure of TIFF files and
// of the EXIF blocks other formats carry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class ByteOrder { Little, Big };

struct IfdEntry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    // The value in the file's byte order; up to 4 bytes sit in the entry itself.
    std::vector<uint8_t> value;
    // value is the entry's own 4 bytes as a file holds them: an inline value
    // or the offset of one that stays where it is.
    bool verbatim = false;
};

// Bytes per value of a TIFF field type (1 to 12), 0 for others.
uint32_t TypeSize(uint16_t type);

// Bytes the directory takes with the values that do not fit in its entries.
uint32_t IfdSize(const std::vector<IfdEntry>& entries);

// Appends the directory, its entries sorted by tag, and then its long
// values, to out, whose first byte lies at file offset outStart; the
// directory must start on an even offset. next is the following directory.
void AppendIfd(std::vector<uint8_t>& out, uint32_t outStart, ByteOrder order, std::vector<IfdEntry> entries,
               uint32_t next);

void Put16(std::vector<uint8_t>& out, ByteOrder order, uint16_t value);
void Put32(std::vector<uint8_t>& out, ByteOrder order, uint32_t value);
uint16_t Get16(const uint8_t* bytes, ByteOrder order);
uint32_t Get32(const uint8_t* bytes, ByteOrder order);

// Values of type between this machine's byte order and order; the swap
// goes both ways.
std::vector<uint8_t> SwapValues(const uint8_t* values, std::size_t length, uint16_t type, ByteOrder order);
