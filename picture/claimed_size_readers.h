// SPDX-License-Identifier: MIT
// Claimed sizes of formats whose size lies behind other lines, chunks, boxes
// or opcodes: XBM, MNG, JPEG 2000 and PICT. Each reader starts at the
// beginning of the file; nullopt when the header is too damaged to say.
#pragma once

#include "picture/claimed_picture_size.h"
#include "picture/header_reader.h"

#include <optional>

std::optional<ClaimedSize> ReadXbmSize(HeaderReader& reader);
std::optional<ClaimedSize> ReadMngSize(HeaderReader& reader);
// A raw JPEG 2000 codestream.
std::optional<ClaimedSize> ReadJ2kSize(HeaderReader& reader);
// The JPEG 2000 box format around a codestream.
std::optional<ClaimedSize> ReadJp2Size(HeaderReader& reader);
std::optional<ClaimedSize> ReadPictSize(HeaderReader& reader);
