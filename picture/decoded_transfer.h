// SPDX-License-Identifier: MIT
// A decoded picture handed from the decoding process to the program in a
// shared memory file: a description (layout, palette, ICC profile, every
// metadata tag, the codecs' messages) and the pixel rows as decoded, which
// the program maps where they lie.
#pragma once

#include "picture/picture_decoding.h"

#include <cstdint>
#include <optional>

// The memory file's first page says where the description lies; the
// decoder's shared heap, when it has one, follows.
constexpr std::uint64_t TransferHeadBytes = 4096;

// Writes picture into the memory file fd, from byte freeFrom on (at least
// TransferHeadBytes), and its head. pixelsAt: where the bitmap's pixels
// already lie in the file, when they do; they are copied there otherwise.
// False when the file cannot take it.
bool WriteDecodedPicture(int fd, const DecodedPicture& picture, std::uint64_t freeFrom,
                         std::optional<std::uint64_t> pixelsAt);

// Rebuilds the picture written by WriteDecodedPicture. The writer is not
// trusted: anything out of place, or pixels above maxPixelBytes, gives a
// picture with an error and no bitmap. The bitmap's pixels stay in the file,
// whose other pages go back to the system; fd must allow sealing (memfd
// with MFD_ALLOW_SEALING), so that nobody can shrink it under the bitmap.
DecodedPicture ReadDecodedPicture(int fd, std::uint64_t maxPixelBytes);
