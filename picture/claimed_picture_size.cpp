// SPDX-License-Identifier: MIT
#include "picture/claimed_picture_size.h"

#include "picture/claimed_size_readers.h"
#include "picture/header_reader.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

namespace {

// Skips a run of data sub-blocks up to and including the empty one; the
// number of data bytes, or nullopt when the file ends first.
std::optional<long long> SkipGifSubBlocks(HeaderReader& reader)
{
    long long bytes = 0;
    for (;;) {
        const int length = reader.Byte();
        if (length <= 0)
            return length == 0 ? std::optional<long long>(bytes) : std::nullopt;
        if (!reader.Skip(length))
            return std::nullopt;
        bytes += length;
    }
}

// A code takes at least two bits and stands for at most 4096 pixels, so no
// sound frame holds more pixels than this.
long long MostGifPixels(long long dataBytes) { return dataBytes * 8 / 2 * 4096; }

// The decoder allocates the logical screen or a frame's own size, and walks
// every frame when it opens the file, so every descriptor counts.
std::optional<ClaimedSize> ReadGifSize(HeaderReader& reader)
{
    std::array<uint8_t, 13> screen{};
    if (!reader.Read(screen.data(), screen.size()) ||
        (std::memcmp(screen.data(), "GIF87a", 6) != 0 && std::memcmp(screen.data(), "GIF89a", 6) != 0))
        return std::nullopt;
    ClaimedSize largest{Little16(&screen[6]), Little16(&screen[8])};
    // The first frame is the picture that is decoded.
    bool firstFrameSeen = false;
    bool firstFrameWhole = false;
    const auto result = [&] {
        largest.cutShort = !firstFrameWhole;
        return std::optional<ClaimedSize>(largest);
    };
    const auto colourTableBytes = [](uint8_t flags) { return flags & 0x80 ? 3LL << ((flags & 7) + 1) : 0LL; };
    if (!reader.Skip(colourTableBytes(screen[10])))
        return result();
    for (;;) {
        const int introducer = reader.Byte();
        if (introducer == 0x2C) {
            std::array<uint8_t, 9> descriptor{};
            if (!reader.Read(descriptor.data(), descriptor.size()))
                return result();
            const ClaimedSize frame{Little16(&descriptor[4]), Little16(&descriptor[6])};
            if (frame.Pixels() > largest.Pixels())
                largest = frame;
            // The local colour table and the code size byte precede the data.
            const std::optional<long long> dataBytes =
                reader.Skip(colourTableBytes(descriptor[8]) + 1) ? SkipGifSubBlocks(reader) : std::nullopt;
            if (!firstFrameSeen)
                firstFrameWhole = dataBytes && frame.Pixels() <= MostGifPixels(*dataBytes);
            firstFrameSeen = true;
            if (!dataBytes)
                return result();
        } else if (introducer == 0x21) {
            if (reader.Byte() < 0 || !SkipGifSubBlocks(reader))
                return result();
        } else {
            // The trailer, the end of the file or damage: nothing more to learn.
            return result();
        }
    }
}

std::optional<ClaimedSize> ReadSgiSize(HeaderReader& reader)
{
    std::array<uint8_t, 10> header{};
    if (!reader.Read(header.data(), header.size()) || Big16(&header[0]) != 474)
        return std::nullopt;
    // A one-dimensional picture is a single line whatever its height says.
    const long long height = Big16(&header[4]) == 1 ? 1 : Big16(&header[8]);
    return ClaimedSize{Big16(&header[6]), height};
}

std::optional<ClaimedSize> ReadDdsSize(HeaderReader& reader)
{
    std::array<uint8_t, 20> header{};
    if (!reader.Read(header.data(), header.size()) || std::memcmp(header.data(), "DDS ", 4) != 0)
        return std::nullopt;
    return ClaimedSize{Little32(&header[16]), Little32(&header[12])};
}

// WBMP numbers use seven bits a byte, the top bit marking that more follow.
std::optional<long long> ReadWbmpNumber(HeaderReader& reader)
{
    long long value = 0;
    for (int count = 0; count < 8; ++count) {
        const int byte = reader.Byte();
        if (byte < 0)
            return std::nullopt;
        value = value << 7 | (byte & 0x7F);
        if ((byte & 0x80) == 0)
            return value;
    }
    return std::nullopt;
}

std::optional<ClaimedSize> ReadWbmpSize(HeaderReader& reader)
{
    const std::optional<long long> type = ReadWbmpNumber(reader);
    const int fixedHeader = reader.Byte();
    // Extension headers come before the size; the decoder judges such files.
    if (type != 0 || fixedHeader < 0 || (fixedHeader & 0x80) != 0)
        return std::nullopt;
    const std::optional<long long> width = ReadWbmpNumber(reader);
    const std::optional<long long> height = ReadWbmpNumber(reader);
    if (!width || !height)
        return std::nullopt;
    return ClaimedSize{*width, *height};
}

// The size is in the bitmap header chunk, normally the first of the form.
std::optional<ClaimedSize> ReadIffSize(HeaderReader& reader)
{
    std::array<uint8_t, 12> form{};
    if (!reader.Read(form.data(), form.size()) || std::memcmp(form.data(), "FORM", 4) != 0)
        return std::nullopt;
    for (int chunks = 0; chunks < 64; ++chunks) {
        std::array<uint8_t, 8> chunk{};
        if (!reader.Read(chunk.data(), chunk.size()))
            return std::nullopt;
        if (std::memcmp(chunk.data(), "BMHD", 4) == 0) {
            std::array<uint8_t, 4> size{};
            if (!reader.Read(size.data(), size.size()))
                return std::nullopt;
            return ClaimedSize{Big16(&size[0]), Big16(&size[2])};
        }
        const long long length = Big32(&chunk[4]);
        if (!reader.Skip(length + (length & 1)))
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

std::optional<ClaimedSize> ReadClaimedSize(const std::string& path, FREE_IMAGE_FORMAT format)
{
    HeaderReader reader(path);
    switch (format) {
    case FIF_GIF: return ReadGifSize(reader);
    case FIF_SGI: return ReadSgiSize(reader);
    case FIF_DDS: return ReadDdsSize(reader);
    case FIF_WBMP: return ReadWbmpSize(reader);
    case FIF_IFF: return ReadIffSize(reader);
    case FIF_XBM: return ReadXbmSize(reader);
    case FIF_MNG: return ReadMngSize(reader);
    case FIF_J2K: return ReadJ2kSize(reader);
    case FIF_JP2: return ReadJp2Size(reader);
    case FIF_PICT: return ReadPictSize(reader);
    default: return std::nullopt;
    }
}
