// SPDX-License-Identifier: MIT
// Random bytes as picture files of every extension the open dialog offers
// (and none): loading must either give an editable bitmap or a reason.
#include "picture/picture_loader.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

constexpr const char* Extensions[] = {".png", ".jpg", ".tif", ".bmp", ".gif", ""};

std::string TemporaryPath(const char* extension)
{
    return "/tmp/quenlo-fuzz-" + std::to_string(getpid()) + extension;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string path = TemporaryPath(Extensions[data[0] % (sizeof Extensions / sizeof *Extensions)]);
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
