// SPDX-License-Identifier: MIT
// Random bytes as picture files under every extension FreeImage reads (and
// none, for content sniffing), decoded through the helper process: loading
// must either give an editable bitmap or a reason, whatever the decoder does.
#include "picture/decode_limits.h"
#include "picture/picture_loader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// ".ext" for each extension of each readable format, then "" for none.
std::vector<std::string> ReadableExtensions()
{
    std::vector<std::string> extensions;
    for (int format = 0; format < FreeImage_GetFIFCount(); ++format) {
        const auto fif = static_cast<FREE_IMAGE_FORMAT>(format);
        const char* list = FreeImage_GetFIFExtensionList(fif);
        if (!FreeImage_FIFSupportsReading(fif) || list == nullptr)
            continue;
        std::string all(list);
        for (std::size_t start = 0; start <= all.size();) {
            const std::size_t comma = std::min(all.find(',', start), all.size());
            if (comma > start)
                extensions.push_back("." + all.substr(start, comma - start));
            start = comma + 1;
        }
    }
    extensions.push_back("");
    return extensions;
}

std::string TemporaryPath(const std::string& extension)
{
    return "/tmp/quenlo-fuzz-" + std::to_string(getpid()) + extension;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Well inside the fuzzer's own timeout, so that a hang is the loader's refusal.
    SetDecodeSeconds(10);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static const std::vector<std::string> extensions = ReadableExtensions();
    if (size == 0)
        return 0;
    const std::string path = TemporaryPath(extensions[data[0] % extensions.size()]);
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data + 1, 1, size - 1, file);
        std::fclose(file);
    } else {
        return 0;
    }

    const LoadedPicture picture = LoadPicture(path);
    std::remove(path.c_str());
    if (picture.bitmap == nullptr) {
        if (picture.error.empty())
            std::abort();
        return 0;
    }
    const unsigned bpp = FreeImage_GetBPP(picture.bitmap.get());
    if (bpp != 8 && bpp != 24 && bpp != 32)
        std::abort();
    return 0;
}
