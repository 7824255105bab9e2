// SPDX-License-Identifier: MIT
// A decoded picture handed from the decoding process to the program in a
// shared memory file: a description (layout, palette, ICC profile, every
// metadata tag, the codecs' messages) and the pixel rows as decoded, which
// the program maps where they lie.
#pragma once

#include "picture/page_size.h"
#include "picture/picture_decoding.h"

#include <cstdint>
#include <optional>
#include <vector>

// The memory file's first page says where the description lies; the
// decoder's shared heap, when it has one, follows.
inline std::uint64_t TransferHeadBytes() { return PageBytes(); }

// Writes picture into the memory file fd, from byte freeFrom on (at least
// TransferHeadBytes()), and its head. pixelsAt: where the bitmap's pixels
// already lie in the file, when they do; they are copied there otherwise.
// False when the file cannot take it.
bool WriteDecodedPicture(int fd, const DecodedPicture& picture, std::uint64_t freeFrom,
                         std::optional<std::uint64_t> pixelsAt);

// Blocks of the memory file mapped while the decoder still works, so that
// when it is done the pixels' pages are mapped already.
class PremappedBlocks {
public:
    // At most maxBytes of fd, the most the pixels can take.
    PremappedBlocks(int fd, std::uint64_t maxBytes) : m_fd(fd), m_maxBytes(maxBytes) {}
    PremappedBlocks(const PremappedBlocks&) = delete;
    PremappedBlocks& operator=(const PremappedBlocks&) = delete;
    ~PremappedBlocks();

    // Maps [offset, offset + size) of the file and the pages there, never
    // backing pages that are not; offset and size are whole pages. Told by
    // the untrusted decoder: a block out of place or beyond the limits is
    // passed over.
    void Add(std::uint64_t offset, std::uint64_t size);
    // The mapping of the whole pages [offset, offset + size) when a block
    // holds them, null otherwise. It is the caller's: the rest of that block
    // is unmapped.
    void* Take(std::uint64_t offset, std::uint64_t size);

private:
    struct Block {
        std::uint64_t offset;
        std::uint64_t size;
        unsigned char* address;
    };
    static constexpr std::size_t MaxBlocks = 8;
    // At most this much of a block freed meanwhile is backed again, by a race.
    static constexpr std::uint64_t PopulateChunk = 2 << 20;

    // Maps the block's pages while all of them are still there.
    static void Populate(unsigned char* address, std::uint64_t size);

    int m_fd;
    std::uint64_t m_maxBytes;
    std::uint64_t m_mappedBytes = 0;
    std::vector<Block> m_blocks;
};

// Rebuilds the picture written by WriteDecodedPicture. The writer is not
// trusted: anything out of place, or pixels above maxPixelBytes, gives a
// picture with an error and no bitmap. The bitmap's pixels stay in the file,
// whose other pages go back to the system; fd must allow sealing (memfd
// with MFD_ALLOW_SEALING), so that nobody can shrink it under the bitmap.
// The pixels' mapping is taken from premapped when a block there holds it.
DecodedPicture ReadDecodedPicture(int fd, std::uint64_t maxPixelBytes, PremappedBlocks* premapped = nullptr);
