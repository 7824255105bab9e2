// SPDX-License-Identifier: MIT
#include "picture/tiff_samples.h"

#include "metadata/metadata_reader.h"
#include "picture/mapped_file.h"

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
    const MappedFile file(path);
    const std::optional<long> format =
        file.Data() != nullptr ? TiffFirstDirectoryValue(file.Data(), file.Size(), SampleFormatTag) : std::nullopt;
    if (!format)
        return {};
    const char* name = SampleFormatName(static_cast<WORD>(*format));
    return name != nullptr ? std::string("unsupported pixel type: ") + name + " samples" : std::string();
}
