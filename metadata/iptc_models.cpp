// SPDX-License-Identifier: MIT
#include "metadata/iptc_models.h"

#include "metadata/metadata_tags.h"

#include <exiv2/datasets.hpp>

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace {

constexpr WORD RecordVersionTag = 0x0200;
constexpr WORD SupplementalCategoriesTag = 0x0214;
constexpr WORD KeywordsTag = 0x0219;
constexpr uint16_t ApplicationRecord = 2;

bool Joined(WORD id)
{
    return id == KeywordsTag || id == SupplementalCategoriesTag;
}

} // namespace

Exiv2::IptcData IptcDataOfModel(FIBITMAP* bitmap)
{
    Exiv2::IptcData iptcData;
    for (FITAG* tag : TagsOf(bitmap, FIMD_IPTC)) {
        const WORD id = FreeImage_GetTagID(tag);
        const char* value = static_cast<const char*>(FreeImage_GetTagValue(tag));
        if (id == RecordVersionTag || id >> 8 != ApplicationRecord || FreeImage_GetTagType(tag) != FIDT_ASCII ||
            value == nullptr)
            continue;
        std::string_view text(value, FreeImage_GetTagLength(tag));
        text = text.substr(0, text.find('\0'));
        const Exiv2::IptcKey key(static_cast<uint16_t>(id & 0xFF), ApplicationRecord);
        while (true) {
            const std::size_t end = Joined(id) ? text.find(';') : std::string_view::npos;
            const std::string part(text.substr(0, end));
            if (!part.empty()) {
                std::unique_ptr<Exiv2::Value> datum = Exiv2::Value::create(Exiv2::string);
                datum->read(part);
                iptcData.add(key, datum.get());
            }
            if (end == std::string_view::npos)
                break;
            text.remove_prefix(end + 1);
        }
    }
    return iptcData;
}

void PutIptcDataInModel(const Exiv2::IptcData& iptcData, FIBITMAP* bitmap)
{
    // FreeImage's names stay where its reader knew the dataset.
    std::map<WORD, std::string> names;
    for (FITAG* tag : TagsOf(bitmap, FIMD_IPTC))
        names[FreeImage_GetTagID(tag)] = FreeImage_GetTagKey(tag);
    FreeImage_SetMetadata(FIMD_IPTC, bitmap, nullptr, nullptr);
    std::map<WORD, std::pair<std::string, std::string>> texts; // id: key, text
    for (const Exiv2::Iptcdatum& datum : iptcData) {
        if (datum.record() != ApplicationRecord || datum.tag() == 0)
            continue;
        const auto id = static_cast<WORD>(ApplicationRecord << 8 | datum.tag());
        const auto known = names.find(id);
        auto [entry, added] = texts.try_emplace(id, known != names.end() ? known->second : datum.tagName(), std::string());
        if (!added && !Joined(id))
            continue;
        entry->second.second += (added ? "" : ";") + datum.toString();
    }
    for (const auto& [id, keyAndText] : texts) {
        FITAG* tag = FreeImage_CreateTag();
        if (tag == nullptr)
            return;
        const std::string& text = keyAndText.second;
        const auto length = static_cast<DWORD>(text.size() + 1);
        if (FreeImage_SetTagKey(tag, keyAndText.first.c_str()) && FreeImage_SetTagID(tag, id) &&
            FreeImage_SetTagType(tag, FIDT_ASCII) && FreeImage_SetTagCount(tag, length) &&
            FreeImage_SetTagLength(tag, length) && FreeImage_SetTagValue(tag, text.c_str()))
            FreeImage_SetMetadata(FIMD_IPTC, bitmap, keyAndText.first.c_str(), tag);
        FreeImage_DeleteTag(tag);
    }
}
