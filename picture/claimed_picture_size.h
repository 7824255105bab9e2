// SPDX-License-Identifier: MIT
// Picture sizes read straight from the headers of formats whose decoders
// cannot stop after the header, so that the loader can refuse an enormous
// claim before a decoder reserves and clears memory for it.
#pragma once

#include <FreeImage.h>

#include <limits>
#include <optional>
#include <string>

struct ClaimedSize {
    long long width = 0;
    long long height = 0;
    // The file ends, or its pixel data runs out, before the picture that would
    // be decoded is covered; the decoder would fill the rest silently.
    bool cutShort = false;

    // Saturates rather than overflows: claims reach 2^32 a side.
    long long Pixels() const
    {
        return height != 0 && width > std::numeric_limits<long long>::max() / height
                   ? std::numeric_limits<long long>::max()
                   : width * height;
    }
};

// The largest picture or frame the file claims, for GIF (logical screen and
// every image descriptor), SGI, DDS, WBMP, IFF, XBM, MNG (its first embedded
// image), JPEG 2000 (codestream and box format) and PICT (frame and first
// pixel map) files. nullopt for other formats and for headers too damaged to
// say; the decoder judges those. cutShort is found for GIF files, and for
// PICT files that end before their first opcode.
std::optional<ClaimedSize> ReadClaimedSize(const std::string& path, FREE_IMAGE_FORMAT format);
