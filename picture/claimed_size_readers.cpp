// SPDX-License-Identifier: MIT
#include "picture/claimed_size_readers.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

namespace {

// The defines come before the data; a comment may precede them.
constexpr int MostXbmHeaderBytes = 64 * 1024;

// Decimal digits only, held to what a 32-bit number can say.
std::optional<long long> XbmNumber(const std::string& text)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    long long value = 0;
    for (const char digit : text)
        value = std::min<long long>(value * 10 + (digit - '0'), INT32_MAX);
    return value;
}

// A "#define <name>_width N" or "#define <name>_height N" line; a size given
// twice counts at its larger.
void ReadXbmDefine(const std::string& line, std::optional<long long>& width, std::optional<long long>& height)
{
    std::istringstream words(line);
    std::string directive, name, value;
    if (!(words >> directive >> name >> value) || directive != "#define")
        return;
    const std::optional<long long> number = XbmNumber(value);
    const std::string what = name.substr(name.rfind('_') + 1);
    std::optional<long long>& size = what == "width" ? width : height;
    if (number && (what == "width" || what == "height"))
        size = std::max(size.value_or(0), *number);
}

std::optional<ClaimedSize> LargerClaim(std::optional<ClaimedSize> a, std::optional<ClaimedSize> b)
{
    if (!a || (b && b->Pixels() > a->Pixels()))
        return b;
    return a;
}

// A rectangle of top, left, bottom and right; nullopt when it holds nothing.
std::optional<ClaimedSize> PictRectSize(const uint8_t* rect)
{
    const long long height = SignedBig16(&rect[4]) - SignedBig16(&rect[0]);
    const long long width = SignedBig16(&rect[6]) - SignedBig16(&rect[2]);
    if (width <= 0 || height <= 0)
        return std::nullopt;
    return ClaimedSize{width, height};
}

// Skips the data of an opcode that may come before the first pixel map;
// false for any other opcode.
bool SkipPictPrologueOpcode(HeaderReader& reader, long long opcode)
{
    std::array<uint8_t, 4> size{};
    switch (opcode) {
    case 0x0000: // nothing
    case 0x001E: // default highlight
        return true;
    case 0x00A0: // short comment
        return reader.Skip(2);
    case 0x001A: // colours
    case 0x001B:
    case 0x001D:
    case 0x001F:
        return reader.Skip(6);
    case 0x0C00: // extended header
        return reader.Skip(24);
    case 0x0001: // clip region, its size counting itself
        return reader.Read(size.data(), 2) && Big16(&size[0]) >= 2 && reader.Skip(Big16(&size[0]) - 2);
    case 0x00A1: // long comment: kind, size, then data padded to a word
        return reader.Read(size.data(), 4) && reader.Skip(Big16(&size[2]) + (Big16(&size[2]) & 1));
    default:
        return false;
    }
}

bool IsPictPixelMap(long long opcode)
{
    return opcode == 0x0090 || opcode == 0x0091 || opcode == 0x0098 || opcode == 0x0099 || opcode == 0x009A ||
           opcode == 0x009B;
}

} // namespace

std::optional<ClaimedSize> ReadXbmSize(HeaderReader& reader)
{
    std::optional<long long> width, height;
    std::string line;
    for (int count = 0; count < MostXbmHeaderBytes; ++count) {
        const int byte = reader.Byte();
        if (byte < 0 || byte == '{')
            break;
        if (byte == '\n') {
            ReadXbmDefine(line, width, height);
            line.clear();
        } else {
            line += static_cast<char>(byte);
        }
    }
    ReadXbmDefine(line, width, height);
    if (!width || !height)
        return std::nullopt;
    return ClaimedSize{*width, *height};
}

// The decoder makes its bitmap for the first embedded PNG or JNG image,
// whatever frame size the MNG header gives.
std::optional<ClaimedSize> ReadMngSize(HeaderReader& reader)
{
    constexpr std::array<uint8_t, 8> signature{0x8A, 'M', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::array<uint8_t, 8> start{};
    if (!reader.Read(start.data(), start.size()) || start != signature)
        return std::nullopt;
    for (int chunks = 0; chunks < 1024; ++chunks) {
        std::array<uint8_t, 8> chunk{};
        if (!reader.Read(chunk.data(), chunk.size()))
            return std::nullopt;
        if (std::memcmp(&chunk[4], "IHDR", 4) == 0 || std::memcmp(&chunk[4], "JHDR", 4) == 0) {
            std::array<uint8_t, 8> size{};
            if (!reader.Read(size.data(), size.size()))
                return std::nullopt;
            return ClaimedSize{Big32(&size[0]), Big32(&size[4])};
        }
        // The data, then its checksum.
        if (std::memcmp(&chunk[4], "MEND", 4) == 0 || !reader.Skip(Big32(&chunk[0]) + 4))
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<ClaimedSize> ReadJ2kSize(HeaderReader& reader)
{
    // The start marker, then the size marker with its length, capabilities,
    // the reference grid and the picture's offset on it.
    std::array<uint8_t, 24> header{};
    if (!reader.Read(header.data(), header.size()) || Big16(&header[0]) != 0xFF4F || Big16(&header[2]) != 0xFF51)
        return std::nullopt;
    // Subsampled components are smaller still, so the grid is the largest claim.
    const long long width = Big32(&header[8]) - Big32(&header[16]);
    const long long height = Big32(&header[12]) - Big32(&header[20]);
    if (width <= 0 || height <= 0)
        return std::nullopt;
    return ClaimedSize{width, height};
}

// The image header box inside the header super box should agree with the
// codestream, which the decoder follows; the larger of the two counts.
std::optional<ClaimedSize> ReadJp2Size(HeaderReader& reader)
{
    constexpr std::array<uint8_t, 12> signature{0, 0, 0, 0x0C, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A};
    std::array<uint8_t, 12> start{};
    if (!reader.Read(start.data(), start.size()) || start != signature)
        return std::nullopt;
    std::optional<ClaimedSize> largest;
    for (int boxes = 0; boxes < 64; ++boxes) {
        std::array<uint8_t, 8> box{};
        if (!reader.Read(box.data(), box.size()))
            break;
        // The length counts the box header; 1 means a 64-bit length follows,
        // 0 that the box runs to the end of the file.
        long long length = Big32(&box[0]);
        long long headerBytes = 8;
        if (length == 1) {
            std::array<uint8_t, 8> extended{};
            if (!reader.Read(extended.data(), extended.size()) || Big32(&extended[0]) > INT32_MAX)
                break;
            length = Big32(&extended[0]) << 32 | Big32(&extended[4]);
            headerBytes = 16;
        }
        const long long contentBytes = length - headerBytes;
        if (length != 0 && contentBytes < 0)
            break;
        // The boxes inside the header super box are read as if they followed it.
        if (std::memcmp(&box[4], "jp2h", 4) == 0)
            continue;
        if (std::memcmp(&box[4], "jp2c", 4) == 0)
            return LargerClaim(largest, ReadJ2kSize(reader));
        long long skipped = 0;
        if (std::memcmp(&box[4], "ihdr", 4) == 0) {
            std::array<uint8_t, 8> size{};
            if (!reader.Read(size.data(), size.size()))
                break;
            largest = LargerClaim(largest, ClaimedSize{Big32(&size[4]), Big32(&size[0])});
            skipped = size.size();
        }
        if (length == 0 || contentBytes < skipped || !reader.Skip(contentBytes - skipped))
            break;
    }
    return largest;
}

// The decoder always skips a 512-byte preamble and reads the frame after it,
// so the frame is read there too; guessing that a file has no preamble would
// judge bytes the decoder never looks at. It sizes its bitmap from the first
// pixel map, which normally follows a few prologue opcodes of a version 2
// picture; the larger of frame and pixel map counts.
std::optional<ClaimedSize> ReadPictSize(HeaderReader& reader)
{
    // The picture's byte count, then its frame.
    std::array<uint8_t, 10> header{};
    if (!reader.Skip(512) || !reader.Read(header.data(), header.size()))
        return ClaimedSize{0, 0, true};
    std::optional<ClaimedSize> largest = PictRectSize(&header[2]);
    std::array<uint8_t, 10> field{};
    // Decoding a file that ends before its first opcode never finishes.
    if (!reader.Read(field.data(), 2)) {
        ClaimedSize cut = largest.value_or(ClaimedSize{});
        cut.cutShort = true;
        return cut;
    }
    if (Big16(&field[0]) != 0x0011 || !reader.Read(field.data(), 2) || Big16(&field[0]) != 0x02FF)
        return largest;
    for (int opcodes = 0; opcodes < 64 && reader.Read(field.data(), 2); ++opcodes) {
        const long long opcode = Big16(&field[0]);
        if (IsPictPixelMap(opcode)) {
            // Direct pixel maps start with a base address; all then hold the
            // row bytes and the bounds.
            const bool direct = opcode == 0x009A || opcode == 0x009B;
            if ((!direct || reader.Skip(4)) && reader.Read(field.data(), field.size()))
                largest = LargerClaim(largest, PictRectSize(&field[2]));
            break;
        }
        if (!SkipPictPrologueOpcode(reader, opcode))
            break;
    }
    return largest;
}
