// SPDX-License-Identifier: MIT
#include "deep_pictures.h"

#include "metadata/metadata_tags.h"

#include <cstring>
#include <random>
#include <vector>

namespace {

void SetTag(FIBITMAP* picture, FREE_IMAGE_MDMODEL model, const char* key, WORD id, FREE_IMAGE_MDTYPE type,
            DWORD count, const void* value, DWORD length)
{
    FITAG* tag = FreeImage_CreateTag();
    FreeImage_SetTagKey(tag, key);
    FreeImage_SetTagID(tag, id);
    FreeImage_SetTagType(tag, type);
    FreeImage_SetTagCount(tag, count);
    FreeImage_SetTagLength(tag, length);
    FreeImage_SetTagValue(tag, value);
    FreeImage_SetMetadata(model, picture, key, tag);
    FreeImage_DeleteTag(tag);
}

void SetText(FIBITMAP* picture, FREE_IMAGE_MDMODEL model, const char* key, WORD id, const char* text)
{
    const auto length = static_cast<DWORD>(std::strlen(text) + 1);
    SetTag(picture, model, key, id, FIDT_ASCII, length, text, length);
}

void PutBig32(std::vector<BYTE>& bytes, std::size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<BYTE>(value >> (24 - 8 * i));
}

// A display profile header with no tags: enough for every writer to embed it.
std::vector<BYTE> MinimalProfile(const char* colourSpace)
{
    std::vector<BYTE> profile(132, 0);
    PutBig32(profile, 0, 132);
    PutBig32(profile, 8, 0x02100000);
    std::memcpy(&profile[12], "mntr", 4);
    std::memcpy(&profile[16], colourSpace, 4);
    std::memcpy(&profile[20], "XYZ ", 4);
    std::memcpy(&profile[36], "acsp", 4);
    PutBig32(profile, 68, 0x0000F6D6);
    PutBig32(profile, 72, 0x00010000);
    PutBig32(profile, 76, 0x0000D32D);
    return profile;
}

} // namespace

int SamplesPerPixel(FIBITMAP* picture)
{
    switch (FreeImage_GetImageType(picture)) {
    case FIT_UINT16: return 1;
    case FIT_RGB16: return 3;
    case FIT_RGBA16: return 4;
    default: return 0;
    }
}

uint16_t Sample(FIBITMAP* picture, int x, int y, int s)
{
    const auto* line = reinterpret_cast<const uint16_t*>(FreeImage_GetScanLine(picture, y));
    return line[x * SamplesPerPixel(picture) + s];
}

BitmapPtr MakeDeepPicture(FREE_IMAGE_TYPE type, int width, int height, uint32_t seed, bool cmyk)
{
    BitmapPtr picture(FreeImage_AllocateT(type, width, height));
    std::mt19937 random(seed);
    const int samples = SamplesPerPixel(picture.get());
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<uint16_t*>(FreeImage_GetScanLine(picture.get(), y));
        for (int i = 0; i < width * samples; ++i)
            line[i] = static_cast<uint16_t>(random());
    }
    if (cmyk)
        FreeImage_GetICCProfile(picture.get())->flags |= FIICC_COLOR_IS_CMYK;
    return picture;
}

void AddPhotoMetadata(FIBITMAP* picture)
{
    SetText(picture, FIMD_EXIF_MAIN, "Make", 0x010F, "Quenlo Optics");
    SetText(picture, FIMD_EXIF_MAIN, "Model", 0x0110, "Q-1");
    SetText(picture, FIMD_EXIF_MAIN, "Artist", 0x013B, "A. Photographer");
    SetText(picture, FIMD_EXIF_MAIN, "Copyright", 0x8298, "(c) A. Photographer");
    const WORD orientation = 6;
    SetTag(picture, FIMD_EXIF_MAIN, "Orientation", 0x0112, FIDT_SHORT, 1, &orientation, 2);
    SetText(picture, FIMD_EXIF_EXIF, "DateTimeOriginal", 0x9003, "2024:05:06 07:08:09");
    SetText(picture, FIMD_EXIF_GPS, "GPSLatitudeRef", 0x0001, "N");
    const DWORD latitude[6] = {48, 1, 51, 1, 30, 1};
    SetTag(picture, FIMD_EXIF_GPS, "GPSLatitude", 0x0002, FIDT_RATIONAL, 3, latitude, sizeof latitude);
    SetText(picture, FIMD_XMP, "XMLPacket", 0,
            "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF "
            "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"/></x:xmpmeta>");
    const char byline[] = "A. Photographer";
    SetTag(picture, FIMD_IPTC, "By-line", 0x0250, FIDT_ASCII, sizeof byline - 1, byline, sizeof byline - 1);
    std::vector<BYTE> profile = MinimalProfile(SamplesPerPixel(picture) == 1 || FreeImage_GetBPP(picture) == 8
                                                   ? "GRAY"
                                                   : "RGB ");
    const DWORD flags = FreeImage_GetICCProfile(picture)->flags;
    FreeImage_CreateICCProfile(picture, profile.data(), static_cast<long>(profile.size()));
    FreeImage_GetICCProfile(picture)->flags = flags;
}

void SetOrientation(FIBITMAP* picture, WORD orientation)
{
    SetTag(picture, FIMD_EXIF_MAIN, "Orientation", 0x0112, FIDT_SHORT, 1, &orientation, 2);
}

std::string TagText(FIBITMAP* picture, FREE_IMAGE_MDMODEL model, const char* key)
{
    FITAG* tag = nullptr;
    if (!FreeImage_GetMetadata(model, picture, key, &tag) || tag == nullptr)
        return {};
    return FreeImage_TagToString(model, tag);
}

std::string TagTextById(FIBITMAP* picture, FREE_IMAGE_MDMODEL model, WORD id)
{
    FITAG* tag = TagById(picture, model, id);
    return tag != nullptr ? FreeImage_TagToString(model, tag) : std::string();
}
