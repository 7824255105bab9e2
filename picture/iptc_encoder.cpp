// SPDX-License-Identifier: MIT
#include "picture/iptc_encoder.h"

#include "picture/metadata_tags.h"

#include <string>
#include <string_view>

namespace {

constexpr WORD RecordVersionTag = 0x0200;
constexpr WORD SupplementalCategoriesTag = 0x0214;
constexpr WORD KeywordsTag = 0x0219;
// Datasets longer than this need the extended length form, which readers rarely know.
constexpr std::size_t MaxDatasetBytes = 0x7FFF;

void AppendDataset(std::vector<uint8_t>& block, WORD id, std::string_view value)
{
    const auto record = static_cast<uint8_t>(id >> 8 != 0 ? id >> 8 : 2);
    block.insert(block.end(), {0x1C, record, static_cast<uint8_t>(id), static_cast<uint8_t>(value.size() >> 8),
                               static_cast<uint8_t>(value.size())});
    block.insert(block.end(), value.begin(), value.end());
}

} // namespace

std::vector<uint8_t> EncodeIptc(FIBITMAP* bitmap)
{
    std::vector<uint8_t> datasets;
    for (FITAG* tag : TagsOf(bitmap, FIMD_IPTC)) {
        const WORD id = FreeImage_GetTagID(tag);
        const char* value = static_cast<const char*>(FreeImage_GetTagValue(tag));
        if (id == RecordVersionTag || FreeImage_GetTagType(tag) != FIDT_ASCII || value == nullptr)
            continue;
        std::string_view text(value, FreeImage_GetTagLength(tag));
        text = text.substr(0, text.find('\0'));
        const bool joined = id == KeywordsTag || id == SupplementalCategoriesTag;
        while (true) {
            const std::size_t end = joined ? text.find(';') : std::string_view::npos;
            const std::string_view part = text.substr(0, end);
            if (!part.empty() && part.size() <= MaxDatasetBytes)
                AppendDataset(datasets, id, part);
            if (end == std::string_view::npos)
                break;
            text.remove_prefix(end + 1);
        }
    }
    if (datasets.empty())
        return {};
    // Record version 4, which readers expect first.
    std::vector<uint8_t> block{0x1C, 2, 0, 0, 2, 0, 4};
    block.insert(block.end(), datasets.begin(), datasets.end());
    return block;
}
