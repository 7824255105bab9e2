// SPDX-License-Identifier: MIT
#include "metadata/metadata_tags.h"

std::vector<FITAG*> TagsOf(FIBITMAP* bitmap, FREE_IMAGE_MDMODEL model)
{
    std::vector<FITAG*> tags;
    FITAG* tag = nullptr;
    // FreeImage reads past an empty model's end when asked for its first tag.
    FIMETADATA* search =
        FreeImage_GetMetadataCount(model, bitmap) != 0 ? FreeImage_FindFirstMetadata(model, bitmap, &tag) : nullptr;
    if (search == nullptr)
        return tags;
    do
        if (tag != nullptr)
            tags.push_back(tag);
    while (FreeImage_FindNextMetadata(search, &tag));
    FreeImage_FindCloseMetadata(search);
    return tags;
}

FITAG* TagById(FIBITMAP* bitmap, FREE_IMAGE_MDMODEL model, WORD id)
{
    for (FITAG* tag : TagsOf(bitmap, model))
        if (FreeImage_GetTagID(tag) == id)
            return tag;
    return nullptr;
}
