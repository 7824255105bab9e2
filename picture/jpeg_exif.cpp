// SPDX-License-Identifier: MIT
#include "picture/jpeg_exif.h"

#include "picture/png_chunks.h"

#include <algorithm>
#include <vector>

namespace {

constexpr const char* RawKey = "ExifRaw";
// A JPEG segment holds 65533 bytes after its length.
constexpr std::size_t MaxSegmentBytes = 65533;

bool AttachRawBlock(FIBITMAP* bitmap, const std::vector<BYTE>& block)
{
    FITAG* tag = FreeImage_CreateTag();
    if (tag == nullptr)
        return false;
    const auto size = static_cast<DWORD>(block.size());
    const bool attached = FreeImage_SetTagKey(tag, RawKey) && FreeImage_SetTagType(tag, FIDT_BYTE) &&
                          FreeImage_SetTagCount(tag, size) && FreeImage_SetTagLength(tag, size) &&
                          FreeImage_SetTagValue(tag, block.data()) &&
                          FreeImage_SetMetadata(FIMD_EXIF_RAW, bitmap, RawKey, tag);
    FreeImage_DeleteTag(tag);
    return attached;
}

} // namespace

JpegExifBlock::JpegExifBlock(FIBITMAP* bitmap)
{
    if (bitmap == nullptr)
        return;
    const std::vector<uint8_t> written = ExifChunkData(bitmap);
    DWORD rawSize = 0;
    const BYTE* raw = RawExif(bitmap, rawSize);
    if (written.empty() || written.size() + 6 > MaxSegmentBytes ||
        (raw != nullptr && std::equal(written.begin(), written.end(), raw, raw + rawSize)))
        return;
    if (raw != nullptr)
        m_original.assign(raw - 6, raw + rawSize);
    std::vector<BYTE> block{'E', 'x', 'i', 'f', 0, 0};
    block.insert(block.end(), written.begin(), written.end());
    if (AttachRawBlock(bitmap, block))
        m_pBitmap = bitmap;
}

JpegExifBlock::~JpegExifBlock()
{
    if (m_pBitmap == nullptr)
        return;
    if (m_original.empty())
        FreeImage_SetMetadata(FIMD_EXIF_RAW, m_pBitmap, RawKey, nullptr);
    else
        AttachRawBlock(m_pBitmap, m_original);
}
