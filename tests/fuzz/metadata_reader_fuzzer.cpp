// SPDX-License-Identifier: MIT
// Random bytes as a TIFF, JPEG and PNG file's metadata, and as a camera's
// raw EXIF block, read and checked by exiv2 as the decoding helper does,
// then written into a file: none of it may crash or read or write out of
// bounds.
#include "metadata/carried_blocks.h"
#include "metadata/metadata_reader.h"
#include "metadata/metadata_writer.h"
#include "picture/bitmap.h"

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    for (const FREE_IMAGE_FORMAT format : {FIF_TIFF, FIF_JPEG, FIF_PNG, FIF_WEBP}) {
        const BitmapPtr picture(FreeImage_Allocate(1, 1, 24));
        if (format == FIF_WEBP)
            SetCameraExifBlock(picture.get(), std::vector<uint8_t>(data, data + size));
        ReadFileMetadata(data, size, format, picture.get());
        TiffFirstDirectoryValue(data, size, 0x0153);
        if (format != FIF_TIFF)
            continue;
        // What the reader kept must be writable.
        const std::string path = "/tmp/quenlo-fuzz-metadata-" + std::to_string(getpid()) + ".png";
        if (FreeImage_Save(FIF_PNG, picture.get(), path.c_str())) {
            std::FILE* file = std::fopen(path.c_str(), "r+b");
            std::vector<std::string> notWritten;
            std::string error;
            if (file != nullptr && !AddMetadataToFile(fileno(file), FIF_PNG, picture.get(), picture.get(), notWritten, error))
                __builtin_trap();
            if (file != nullptr)
                std::fclose(file);
        }
        std::remove(path.c_str());
    }
    return 0;
}
