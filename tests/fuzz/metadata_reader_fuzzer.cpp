// SPDX-License-Identifier: MIT
// Random bytes as an EXIF block and as a TIFF file, read by our own
// directory readers and stripped of a thumbnail: they must neither crash
// nor read or write out of bounds.
#include "picture/exif_models.h"
#include "picture/exif_reader.h"
#include "picture/exif_thumbnail.h"
#include "picture/tiff_samples.h"

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const BitmapPtr block = ReadExifModels(ReadFromMemory(std::vector<uint8_t>(data, data + size)));
    const std::vector<uint8_t> stripped = WithoutThumbnail(data, size);
    if (stripped.size() != size)
        __builtin_trap();
    const std::string path = "/tmp/quenlo-fuzz-metadata-" + std::to_string(getpid()) + ".tif";
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
        const BitmapPtr tiff = ReadTiffMetadata(path);
        const BitmapPtr picture(FreeImage_Allocate(1, 1, 24));
        ReadExifOfFile(path, FIF_TIFF, picture.get());
        TiffSampleProblem(path);
        std::remove(path.c_str());
    }
    return 0;
}
