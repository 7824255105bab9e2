// SPDX-License-Identifier: MIT
#include "picture/picture_info.h"

void CopyPictureInfo(FIBITMAP* dst, FIBITMAP* src)
{
    if (dst == src)
        return;
    FreeImage_CloneMetadata(dst, src);
    FreeImage_SetDotsPerMeterX(dst, FreeImage_GetDotsPerMeterX(src));
    FreeImage_SetDotsPerMeterY(dst, FreeImage_GetDotsPerMeterY(src));
    const FIICCPROFILE* profile = FreeImage_GetICCProfile(src);
    if (profile->data != nullptr && profile->size > 0)
        FreeImage_CreateICCProfile(dst, profile->data, profile->size);
    FreeImage_GetICCProfile(dst)->flags = profile->flags;
}
