// SPDX-License-Identifier: MIT
#include "picture/tiff_samples.h"

#include "picture/exif_reader.h"

namespace {

constexpr WORD SampleFormatTag = 0x0153;

const char* SampleFormatName(WORD format)
{
    switch (format) {
    case 2: return "signed integer";
    case 4: return "untyped";
    case 5:
    case 6: return "complex";
    default: return nullptr;
    }
}

} // namespace

std::string TiffSampleProblem(const std::string& path)
{
    const BitmapPtr tags = ReadExifModels(ReadFromFile(path));
    FITAG* tag = nullptr;
    if (!tags || !FreeImage_GetMetadata(FIMD_EXIF_MAIN, tags.get(), "0x0153", &tag) || tag == nullptr ||
        FreeImage_GetTagID(tag) != SampleFormatTag || FreeImage_GetTagType(tag) != FIDT_SHORT)
        return {};
    const char* name = SampleFormatName(*static_cast<const WORD*>(FreeImage_GetTagValue(tag)));
    return name != nullptr ? std::string("unsupported pixel type: ") + name + " samples" : std::string();
}
