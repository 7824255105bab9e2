// SPDX-License-Identifier: MIT
#include "picture/claim_floors.h"

#include "picture/header_reader.h"
#include "picture/tiff_floor.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

namespace {

// Deflate codes a match of 258 bytes in two bits at best.
constexpr double MostDeflateRatio = 1032;

std::uint64_t Bytes(double count)
{
    if (!(count > 0))
        return 0;
    return count >= 1e18 ? std::numeric_limits<std::uint64_t>::max() : static_cast<std::uint64_t>(std::ceil(count));
}

long long CeilDiv(long long a, long long b) { return b <= 0 ? 0 : (a + b - 1) / b; }

bool IsJpegFrame(int marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Arithmetic coding can spend far less than a bit on a block.
bool IsArithmeticJpegFrame(int marker) { return marker >= 0xC9; }

// Huffman codes are at least one bit long, and every block of a scanned
// component starts with its DC code: a picture needs a bit for each block of
// the component with the fewest.
std::optional<ClaimFloor> ReadJpegFloor(HeaderReader& reader)
{
    std::array<uint8_t, 2> start{};
    if (!reader.Read(start.data(), start.size()) || start[0] != 0xFF || start[1] != 0xD8)
        return std::nullopt;
    for (int segments = 0; segments < 1024; ++segments) {
        int marker = reader.Byte();
        if (marker != 0xFF)
            return std::nullopt;
        while (marker == 0xFF)
            marker = reader.Byte();
        if (marker < 0 || marker == 0xDA || marker == 0xD9)
            return std::nullopt;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        std::array<uint8_t, 2> length{};
        if (!reader.Read(length.data(), length.size()) || Big16(length.data()) < 2)
            return std::nullopt;
        if (!IsJpegFrame(marker)) {
            if (!reader.Skip(Big16(length.data()) - 2))
                return std::nullopt;
            continue;
        }
        std::array<uint8_t, 6> frame{};
        if (!reader.Read(frame.data(), frame.size()))
            return std::nullopt;
        ClaimFloor floor;
        floor.claimed = ClaimedSize{Big16(&frame[3]), Big16(&frame[1])};
        const int components = frame[5];
        // A height of 0 is given later, by a marker after the first scan.
        if (floor.claimed.height == 0 || components == 0)
            return std::nullopt;
        std::array<std::array<uint8_t, 3>, 255> sampling{};
        int largestH = 1, largestV = 1;
        for (int c = 0; c < components; ++c) {
            if (!reader.Read(sampling[c].data(), 3))
                return std::nullopt;
            largestH = std::max(largestH, sampling[c][1] >> 4);
            largestV = std::max(largestV, sampling[c][1] & 15);
        }
        if (IsArithmeticJpegFrame(marker))
            return floor;
        long long fewestBlocks = std::numeric_limits<long long>::max();
        for (int c = 0; c < components; ++c) {
            const long long width = CeilDiv(floor.claimed.width * (sampling[c][1] >> 4), largestH);
            const long long height = CeilDiv(floor.claimed.height * (sampling[c][1] & 15), largestV);
            fewestBlocks = std::min(fewestBlocks, CeilDiv(width, 8) * CeilDiv(height, 8));
        }
        floor.leastFileBytes = Bytes(static_cast<double>(fewestBlocks) / 8);
        return floor;
    }
    return std::nullopt;
}

// The pixel data is deflated, so it takes at least its raw size over the
// best ratio deflate reaches.
std::optional<ClaimFloor> ReadPngFloor(HeaderReader& reader)
{
    constexpr std::array<uint8_t, 8> signature{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::array<uint8_t, 8 + 8 + 13> header{};
    if (!reader.Read(header.data(), header.size()) || !std::equal(signature.begin(), signature.end(), header.begin()) ||
        std::memcmp(&header[12], "IHDR", 4) != 0)
        return std::nullopt;
    ClaimFloor floor;
    floor.claimed = ClaimedSize{Big32(&header[16]), Big32(&header[20])};
    const int depth = header[24];
    int channels = 0;
    switch (header[25]) {
    case 0: channels = 1; break;
    case 2: channels = 3; break;
    case 3: channels = 1; break;
    case 4: channels = 2; break;
    case 6: channels = 4; break;
    default: return floor;
    }
    const double rawBytes = static_cast<double>(floor.claimed.width) * static_cast<double>(floor.claimed.height) *
                            depth * channels / 8;
    floor.leastFileBytes = Bytes(rawBytes / MostDeflateRatio);
    return floor;
}

// What an OpenEXR header says that bounds the file's size.
struct ExrHeader {
    bool hasWindow = false;
    long long width = 0;
    long long height = 0;
    int compression = -1;
    long long tileWidth = 0; // 0 for scan lines
    long long tileHeight = 0;
    double bytesPerPixel = 0;
    bool overrun = false; // an attribute claims more bytes than the file has left
};

int32_t Little32Signed(const uint8_t* bytes) { return static_cast<int32_t>(static_cast<uint32_t>(Little32(bytes))); }

// A channel list: name, pixel type, linearity and three reserved bytes, and
// the x and y sampling, up to an empty name.
double ExrBytesPerPixel(const std::vector<uint8_t>& list)
{
    double bytes = 0;
    std::size_t at = 0;
    while (at < list.size() && list[at] != 0) {
        const auto end = std::find(list.begin() + static_cast<long>(at), list.end(), uint8_t{0});
        at = static_cast<std::size_t>(end - list.begin()) + 1;
        if (at + 16 > list.size())
            break;
        const int type = Little32Signed(&list[at]);
        const long long xSampling = std::max(Little32Signed(&list[at + 8]), 1);
        const long long ySampling = std::max(Little32Signed(&list[at + 12]), 1);
        bytes += (type == 1 ? 2.0 : 4.0) / static_cast<double>(xSampling * ySampling);
        at += 16;
    }
    return bytes;
}

std::optional<ExrHeader> ReadExrHeader(HeaderReader& reader, std::uintmax_t fileBytes)
{
    std::array<uint8_t, 8> start{};
    if (!reader.Read(start.data(), start.size()) || Little32(start.data()) != 20000630)
        return std::nullopt;
    const long long flags = Little32(&start[4]);
    // Deep and multi-part files are laid out otherwise.
    if ((flags & 0x1800) != 0)
        return std::nullopt;
    ExrHeader header;
    std::uintmax_t consumed = start.size();
    for (int attributes = 0; attributes < 1024; ++attributes) {
        std::string name, type;
        for (std::string* text : {&name, &type}) {
            for (int byte = reader.Byte(); byte != 0; byte = reader.Byte()) {
                if (byte < 0 || text->size() > 255)
                    return std::nullopt;
                *text += static_cast<char>(byte);
            }
            if (text == &name && name.empty())
                return header.hasWindow && header.compression >= 0 ? std::optional<ExrHeader>(header) : std::nullopt;
        }
        std::array<uint8_t, 4> sizeBytes{};
        if (!reader.Read(sizeBytes.data(), sizeBytes.size()))
            return std::nullopt;
        const long long size = Little32(sizeBytes.data());
        consumed += name.size() + type.size() + 2 + sizeBytes.size();
        // The decoder would reserve the claimed size before finding the file too short.
        if (static_cast<std::uintmax_t>(size) > fileBytes - std::min(consumed, fileBytes)) {
            header.overrun = true;
            return header;
        }
        if (size > (1 << 20))
            return std::nullopt;
        consumed += static_cast<std::uintmax_t>(size);
        std::vector<uint8_t> value(static_cast<std::size_t>(size));
        if (!reader.Read(value.data(), value.size()))
            return std::nullopt;
        if (name == "dataWindow" && type == "box2i" && size == 16) {
            header.hasWindow = true;
            header.width = static_cast<long long>(Little32Signed(&value[8])) - Little32Signed(&value[0]) + 1;
            header.height = static_cast<long long>(Little32Signed(&value[12])) - Little32Signed(&value[4]) + 1;
        } else if (name == "compression" && size == 1) {
            header.compression = value[0];
        } else if (name == "tiles" && type == "tiledesc" && size == 9) {
            header.tileWidth = Little32(&value[0]);
            header.tileHeight = Little32(&value[4]);
        } else if (name == "channels" && type == "chlist") {
            header.bytesPerPixel = ExrBytesPerPixel(value);
        }
    }
    return std::nullopt;
}

// Every chunk of scan lines or tile has an entry of 8 bytes in the offset
// table and a header of at least 8 bytes; its data shrinks by no more than
// the compression can.
std::optional<ClaimFloor> ReadExrFloor(HeaderReader& reader, std::uintmax_t fileBytes)
{
    const std::optional<ExrHeader> header = ReadExrHeader(reader, fileBytes);
    if (header && header->overrun)
        return ClaimFloor{{}, 0, true};
    if (!header || header->width <= 0 || header->height <= 0)
        return std::nullopt;
    ClaimFloor floor;
    floor.claimed = ClaimedSize{header->width, header->height};
    // Scan lines per chunk, and the best ratio, of each compression; 0 where none is known.
    constexpr std::array<int, 10> linesPerChunk{1, 1, 1, 16, 32, 16, 32, 32, 32, 256};
    constexpr std::array<double, 10> mostRatio{1, 64, MostDeflateRatio, MostDeflateRatio, 0, MostDeflateRatio * 4 / 3,
                                               11, 11, 0, 0};
    if (header->compression >= static_cast<int>(linesPerChunk.size()))
        return floor;
    const long long chunks =
        header->tileWidth > 0 && header->tileHeight > 0
            ? CeilDiv(header->width, header->tileWidth) * CeilDiv(header->height, header->tileHeight)
            : CeilDiv(header->height, linesPerChunk[static_cast<std::size_t>(header->compression)]);
    const double ratio = mostRatio[static_cast<std::size_t>(header->compression)];
    const double pixelBytes = ratio > 0 ? static_cast<double>(header->width) * static_cast<double>(header->height) *
                                              header->bytesPerPixel / ratio
                                        : 0;
    floor.leastFileBytes = Bytes(std::max(static_cast<double>(chunks) * 16, pixelBytes));
    return floor;
}

// The merged picture follows the colour table, resources and layers, each
// behind its length: stored, it takes every byte; run-length coded, a count
// of each row of each channel and two bytes for each run of up to 128;
// deflated, at best MostDeflateRatio.
std::optional<ClaimFloor> ReadPsdFloor(HeaderReader& reader)
{
    std::array<uint8_t, 26> header{};
    if (!reader.Read(header.data(), header.size()) || std::memcmp(header.data(), "8BPS", 4) != 0)
        return std::nullopt;
    const long long version = Big16(&header[4]);
    if (version != 1 && version != 2)
        return std::nullopt;
    ClaimFloor floor;
    floor.claimed = ClaimedSize{Big32(&header[18]), Big32(&header[14])};
    const double channels = static_cast<double>(std::max(Big16(&header[12]), 1LL));
    const double depth = static_cast<double>(std::max(Big16(&header[22]), 1LL));
    // Sections cut short leave the claim alone to be judged.
    std::uint64_t consumed = header.size();
    for (int section = 0; section < 3; ++section) {
        // The layers' length is 8 bytes wide in the large document format.
        const std::size_t width = section == 2 && version == 2 ? 8 : 4;
        std::array<uint8_t, 8> length{};
        if (!reader.Read(length.data(), width))
            return floor;
        const std::uint64_t bytes = width == 8 ? static_cast<std::uint64_t>(Big32(length.data())) << 32 | Big32(&length[4])
                                               : static_cast<std::uint64_t>(Big32(length.data()));
        if (bytes > (1ULL << 40) || !reader.Skip(static_cast<long long>(bytes)))
            return floor;
        consumed += width + bytes;
    }
    std::array<uint8_t, 2> coding{};
    if (!reader.Read(coding.data(), coding.size()))
        return floor;
    const double width = static_cast<double>(floor.claimed.width);
    const double rows = static_cast<double>(floor.claimed.height) * channels;
    const double samples = width * rows * depth / 8;
    double least = 0;
    switch (Big16(coding.data())) {
    case 0: least = samples; break;
    case 1: least = rows * (version == 2 ? 4 : 2) + rows * std::ceil(width / 128) * 2; break;
    case 2:
    case 3: least = samples / MostDeflateRatio; break;
    default: return floor;
    }
    floor.leastFileBytes = Bytes(static_cast<double>(consumed) + 2 + least);
    return floor;
}

// Block-compressed surfaces take 8 (DXT1) or 16 bytes for each 4 x 4
// block, others their bits a pixel; the main surface follows the header.
std::optional<ClaimFloor> ReadDdsFloor(HeaderReader& reader)
{
    std::array<uint8_t, 128> header{};
    if (!reader.Read(header.data(), header.size()) || std::memcmp(header.data(), "DDS ", 4) != 0)
        return std::nullopt;
    ClaimFloor floor;
    floor.claimed = ClaimedSize{Little32(&header[16]), Little32(&header[12])};
    const double width = static_cast<double>(floor.claimed.width);
    const double height = static_cast<double>(floor.claimed.height);
    const bool fourCc = (Little32(&header[80]) & 4) != 0;
    double bytes = 0;
    if (fourCc && std::memcmp(&header[84], "DXT1", 4) == 0)
        bytes = std::ceil(width / 4) * std::ceil(height / 4) * 8;
    else if (fourCc && (std::memcmp(&header[84], "DXT3", 4) == 0 || std::memcmp(&header[84], "DXT5", 4) == 0))
        bytes = std::ceil(width / 4) * std::ceil(height / 4) * 16;
    else if (!fourCc)
        bytes = width * height * static_cast<double>(Little32(&header[88])) / 8;
    floor.leastFileBytes = Bytes(static_cast<double>(header.size()) + bytes);
    return floor;
}

// A lossy frame codes the modes of each 16 x 16 macroblock with fixed
// probabilities, which cost more than a bit together; a lossless frame can
// code a plain picture in no bits a pixel, so only its claim is known.
std::optional<ClaimFloor> ReadWebpFloor(HeaderReader& reader)
{
    std::array<uint8_t, 12> riff{};
    if (!reader.Read(riff.data(), riff.size()) || std::memcmp(riff.data(), "RIFF", 4) != 0 ||
        std::memcmp(&riff[8], "WEBP", 4) != 0)
        return std::nullopt;
    std::optional<ClaimFloor> floor;
    for (int chunks = 0; chunks < 64; ++chunks) {
        std::array<uint8_t, 8> chunk{};
        if (!reader.Read(chunk.data(), chunk.size()))
            return floor;
        const long long length = Little32(&chunk[4]);
        std::array<uint8_t, 10> head{};
        if (std::memcmp(chunk.data(), "VP8 ", 4) == 0) {
            if (!reader.Read(head.data(), head.size()) || head[3] != 0x9D || head[4] != 0x01 || head[5] != 0x2A)
                return floor;
            const ClaimedSize frame{Little16(&head[6]) & 0x3FFF, Little16(&head[8]) & 0x3FFF};
            if (!floor)
                floor = ClaimFloor{frame, 0};
            floor->leastFileBytes = Bytes(static_cast<double>(CeilDiv(frame.width, 16) * CeilDiv(frame.height, 16)) / 8);
            return floor;
        }
        if (std::memcmp(chunk.data(), "VP8L", 4) == 0) {
            if (!reader.Read(head.data(), 5) || head[0] != 0x2F)
                return floor;
            const long long bits = Little32(&head[1]);
            return floor ? floor : ClaimFloor{ClaimedSize{(bits & 0x3FFF) + 1, ((bits >> 14) & 0x3FFF) + 1}, 0};
        }
        if (std::memcmp(chunk.data(), "VP8X", 4) == 0) {
            if (length < 10 || !reader.Read(head.data(), 10))
                return floor;
            // An animation's frames come later, each with its own size.
            if ((head[0] & 0x02) != 0)
                return std::nullopt;
            const long long width = (head[4] | head[5] << 8 | head[6] << 16) + 1;
            const long long height = (head[7] | head[8] << 8 | head[9] << 16) + 1;
            floor = ClaimFloor{ClaimedSize{width, height}, 0};
            if (!reader.Skip(length - 10 + (length & 1)))
                return floor;
            continue;
        }
        if (!reader.Skip(length + (length & 1)))
            return floor;
    }
    return floor;
}

} // namespace

std::optional<ClaimFloor> ReadClaimFloor(const std::string& path, FREE_IMAGE_FORMAT format)
{
    HeaderReader reader(path);
    std::error_code unknown;
    const std::uintmax_t fileBytes = std::filesystem::file_size(path, unknown);
    if (unknown)
        return std::nullopt;
    switch (format) {
    case FIF_JPEG: return ReadJpegFloor(reader);
    case FIF_PNG: return ReadPngFloor(reader);
    case FIF_EXR: return ReadExrFloor(reader, fileBytes);
    case FIF_WEBP: return ReadWebpFloor(reader);
    case FIF_TIFF: return ReadTiffFloor(path, fileBytes);
    case FIF_PSD: return ReadPsdFloor(reader);
    case FIF_DDS: return ReadDdsFloor(reader);
    default: return std::nullopt;
    }
}

std::optional<ClaimedSize> ReadHeaderSize(const std::string& path)
{
    std::error_code unknown;
    if (!std::filesystem::is_regular_file(path, unknown))
        return std::nullopt;
    const std::optional<ClaimFloor> floor = ReadClaimFloor(path, FreeImage_GetFIFFromFilename(path.c_str()));
    if (!floor || floor->headerOverrun || floor->claimed.width <= 0 || floor->claimed.height <= 0)
        return std::nullopt;
    return floor->claimed;
}
