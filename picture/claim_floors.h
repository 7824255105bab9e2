// SPDX-License-Identifier: MIT
// The fewest bytes a file can hold the picture its header claims in, read
// from the header before any decoder reserves memory for the claim: a
// header whose claim the file is too small for is damaged.
#pragma once

#include "picture/claimed_picture_size.h"

#include <FreeImage.h>

#include <cstdint>
#include <optional>
#include <string>

struct ClaimFloor {
    ClaimedSize claimed;
    std::uint64_t leastFileBytes = 0; // 0 when the coding allows any claim in a few bytes
    bool headerOverrun = false;       // a header field claims more bytes than the file has
};

// For JPEG, PNG, OpenEXR, WebP, TIFF, PSD and DDS files; nullopt for other formats and for
// headers too damaged to say, which the decoder judges.
std::optional<ClaimFloor> ReadClaimFloor(const std::string& path, FREE_IMAGE_FORMAT format);

// The size the header of the file at path claims, for a regular file of one
// of those formats named by its extension; nullopt when it cannot say. Read
// without decoding, so pictures that must match can be compared first.
std::optional<ClaimedSize> ReadHeaderSize(const std::string& path);
