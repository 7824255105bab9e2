// SPDX-License-Identifier: MIT
#include "picture/jpeg_exif.h"

#include "picture/exif_encoder.h"
#include "picture/png_chunks.h"

#include <vector>

namespace {

constexpr const char* RawKey = "ExifRaw";
// A JPEG segment holds 65533 bytes after its length.
constexpr std::size_t MaxSegmentBytes = 65533;

} // namespace

JpegExifBlock::JpegExifBlock(FIBITMAP* bitmap)
{
    DWORD rawSize = 0;
    if (bitmap == nullptr || RawExif(bitmap, rawSize) != nullptr)
        return;
    const std::vector<uint8_t> encoded = EncodeExif(bitmap);
    if (encoded.empty() || encoded.size() + 6 > MaxSegmentBytes)
        return;
    std::vector<BYTE> block{'E', 'x', 'i', 'f', 0, 0};
    block.insert(block.end(), encoded.begin(), encoded.end());
    FITAG* tag = FreeImage_CreateTag();
    if (tag == nullptr)
        return;
    const auto size = static_cast<DWORD>(block.size());
    if (FreeImage_SetTagKey(tag, RawKey) && FreeImage_SetTagType(tag, FIDT_BYTE) && FreeImage_SetTagCount(tag, size) &&
        FreeImage_SetTagLength(tag, size) && FreeImage_SetTagValue(tag, block.data()) &&
        FreeImage_SetMetadata(FIMD_EXIF_RAW, bitmap, RawKey, tag))
        m_pBitmap = bitmap;
    FreeImage_DeleteTag(tag);
}

JpegExifBlock::~JpegExifBlock()
{
    if (m_pBitmap != nullptr)
        FreeImage_SetMetadata(FIMD_EXIF_RAW, m_pBitmap, RawKey, nullptr);
}
