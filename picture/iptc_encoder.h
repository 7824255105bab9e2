// SPDX-License-Identifier: MIT
// A picture's IPTC tags as the block of datasets TIFF files hold in their
// IPTC entry.
#pragma once

#include <FreeImage.h>

#include <cstdint>
#include <vector>

// The datasets of the picture's FIMD_IPTC text tags after a record version;
// keywords and supplemental categories, which FreeImage joins with ";",
// become one dataset each. Empty when the picture has no IPTC text.
std::vector<uint8_t> EncodeIptc(FIBITMAP* bitmap);
