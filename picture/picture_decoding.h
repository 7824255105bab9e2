// SPDX-License-Identifier: MIT
// The FreeImage side of reading a picture file: finding the format, refusing
// enormous claims, decoding. It runs inside the decoding process only, since a
// damaged file can crash or hang the decoders.
#pragma once

#include "picture/bitmap.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct DecodedPicture {
    BitmapPtr bitmap;                       // as decoded, any type and depth; null on failure
    FREE_IMAGE_FORMAT format = FIF_UNKNOWN; // the format the file was read as
    std::vector<std::string> messages;      // what the codecs reported while decoding
    std::string error;                      // why there is no bitmap, for the user
};

// Pictures above this many pixels are refused before they are decoded.
constexpr long long MaxPicturePixels = 1LL << 28;

// Called once the header is judged, before the pixels are decoded, with the
// number of pixels the header claims (0 when the format says nothing ahead).
using BeforePixels = std::function<void(long long claimedPixels)>;

// Decodes the file at path; name is the file's own name, whose extension
// gives the format (the content does when it says nothing). A picture whose
// header claims more than budgetBytes of pixels is refused before decoding.
DecodedPicture DecodePictureFile(const std::string& path, const std::string& name, std::uint64_t budgetBytes,
                                 const BeforePixels& beforePixels = {});

// "the picture is too large (W x H pixels)" when the size is out of range;
// empty when it is fine.
std::string PictureSizeProblem(long long width, long long height);
