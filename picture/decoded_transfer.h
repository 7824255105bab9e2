// SPDX-License-Identifier: MIT
// A decoded picture handed from the decoding process to the program in a
// shared memory file: a description (layout, palette, ICC profile, every
// metadata tag, the codecs' messages) followed by the pixel rows as decoded.
#pragma once

#include "picture/picture_decoding.h"

#include <cstdint>

// Writes picture into the memory file fd (emptied first); false when the
// file cannot take it.
bool WriteDecodedPicture(int fd, const DecodedPicture& picture);

// Rebuilds the picture written by WriteDecodedPicture. The writer is not
// trusted: anything out of place, or pixels above maxPixelBytes, gives a
// picture with an error and no bitmap.
DecodedPicture ReadDecodedPicture(int fd, std::uint64_t maxPixelBytes);
