// SPDX-License-Identifier: MIT
#include "test_bitmaps.h"

#include <cmath>
#include <cstring>
#include <filesystem>

namespace {

BYTE* PixelBytes(FIBITMAP* bitmap, int x, int y)
{
    return FreeImage_GetScanLine(bitmap, y) + static_cast<std::size_t>(x) * BytesPerPixel(bitmap);
}

uint64_t HashByte(uint64_t hash, uint8_t byte)
{
    return (hash ^ byte) * 1099511628211ull;
}

uint64_t HashWord(uint64_t hash, uint32_t word)
{
    for (int shift = 0; shift < 32; shift += 8)
        hash = HashByte(hash, static_cast<uint8_t>(word >> shift));
    return hash;
}

} // namespace

Bitmap MakeBitmap(int width, int height, int bitsPerPixel)
{
    Bitmap bitmap(FreeImage_Allocate(width, height, bitsPerPixel));
    if (bitsPerPixel == 8) {
        RGBQUAD* palette = FreeImage_GetPalette(bitmap.get());
        for (int i = 0; i < 256; ++i)
            palette[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            SetPixelAt(bitmap.get(), x, y, {0, 0, 0, 0});
    return bitmap;
}

Bitmap MakeCmykBitmap(int width, int height)
{
    Bitmap bitmap = MakeBitmap(width, height, 32);
    FreeImage_GetICCProfile(bitmap.get())->flags |= FIICC_COLOR_IS_CMYK;
    return bitmap;
}

Bitmap CloneBitmap(FIBITMAP* bitmap)
{
    return Bitmap(FreeImage_Clone(bitmap));
}

int BytesPerPixel(FIBITMAP* bitmap)
{
    return static_cast<int>(FreeImage_GetBPP(bitmap) / 8);
}

Channels PixelAt(FIBITMAP* bitmap, int x, int y)
{
    Channels channels{0, 0, 0, 0};
    const BYTE* bytes = PixelBytes(bitmap, x, y);
    for (int k = 0; k < BytesPerPixel(bitmap); ++k)
        channels[k] = bytes[k];
    return channels;
}

void SetPixelAt(FIBITMAP* bitmap, int x, int y, Channels channels)
{
    BYTE* bytes = PixelBytes(bitmap, x, y);
    for (int k = 0; k < BytesPerPixel(bitmap); ++k)
        bytes[k] = static_cast<BYTE>(channels[k]);
}

void FillBitmap(FIBITMAP* bitmap, Channels channels)
{
    for (unsigned y = 0; y < FreeImage_GetHeight(bitmap); ++y)
        for (unsigned x = 0; x < FreeImage_GetWidth(bitmap); ++x)
            SetPixelAt(bitmap, static_cast<int>(x), static_cast<int>(y), channels);
}

void PaintTexture(FIBITMAP* bitmap, uint32_t seed)
{
    uint32_t state = seed * 2654435761u + 1u;
    auto noise = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>(state >> 27); // 0..31
    };
    const double phase = (seed % 7) * 0.9;
    for (unsigned y = 0; y < FreeImage_GetHeight(bitmap); ++y) {
        for (unsigned x = 0; x < FreeImage_GetWidth(bitmap); ++x) {
            Channels channels{};
            for (int k = 0; k < 4; ++k) {
                const double wave = std::sin((x * (0.21 + 0.05 * k) + y * 0.13) + phase + k) +
                                    std::cos(y * (0.17 + 0.03 * k) - x * 0.05 + 2.0 * k);
                channels[k] = 100 + static_cast<int>(std::trunc(wave * 50.0)) + noise();
            }
            SetPixelAt(bitmap, static_cast<int>(x), static_cast<int>(y), channels);
        }
    }
}

int CodeAt(FIBITMAP* mask, int x, int y)
{
    return FreeImage_GetScanLine(mask, y)[x];
}

void SetCode(FIBITMAP* mask, int x, int y, int code)
{
    FreeImage_GetScanLine(mask, y)[x] = static_cast<BYTE>(code);
}

void FillCodes(FIBITMAP* mask, int x0, int x1, int y0, int y1, int code)
{
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            SetCode(mask, x, y, code);
}

bool SameBytes(FIBITMAP* a, FIBITMAP* b)
{
    if (FreeImage_GetWidth(a) != FreeImage_GetWidth(b) || FreeImage_GetHeight(a) != FreeImage_GetHeight(b) ||
        FreeImage_GetBPP(a) != FreeImage_GetBPP(b))
        return false;
    const std::size_t rowBytes = FreeImage_GetLine(a);
    for (unsigned y = 0; y < FreeImage_GetHeight(a); ++y)
        if (std::memcmp(FreeImage_GetScanLine(a, static_cast<int>(y)), FreeImage_GetScanLine(b, static_cast<int>(y)),
                        rowBytes) != 0)
            return false;
    return true;
}

uint64_t HashBitmap(FIBITMAP* bitmap, uint64_t hash)
{
    hash = HashWord(hash, FreeImage_GetWidth(bitmap));
    hash = HashWord(hash, FreeImage_GetHeight(bitmap));
    hash = HashWord(hash, FreeImage_GetBPP(bitmap));
    const unsigned rowBytes = FreeImage_GetLine(bitmap);
    for (unsigned y = 0; y < FreeImage_GetHeight(bitmap); ++y) {
        const BYTE* row = FreeImage_GetScanLine(bitmap, static_cast<int>(y));
        for (unsigned i = 0; i < rowBytes; ++i)
            hash = HashByte(hash, row[i]);
    }
    return hash;
}

InpaintJob MakeJob(FIBITMAP* image, FIBITMAP* mask, int scanMinX, int scanMaxX, int scanMinY, int scanMaxY,
                   int patchSize, int searchGap, bool smoothSeam)
{
    InpaintJob job;
    job.patchSize = patchSize;
    job.searchGap = searchGap;
    job.scanMinX = scanMinX;
    job.scanMaxX = scanMaxX;
    job.scanMinY = scanMinY;
    job.scanMaxY = scanMaxY;
    job.imageWidth = static_cast<int>(FreeImage_GetWidth(image));
    job.imageHeight = static_cast<int>(FreeImage_GetHeight(image));
    job.targetImage = image;
    job.sourceImage = image;
    job.maskImage = mask;
    job.smoothSeam = smoothSeam ? 1 : 0;
    return job;
}

std::string SaveForInspection(FIBITMAP* bitmap, const std::string& name)
{
    std::filesystem::create_directories(QUENLO_TEST_OUTPUT_DIR);
    const std::string path = std::string(QUENLO_TEST_OUTPUT_DIR) + "/" + name + ".png";
    FreeImage_Save(FIF_PNG, bitmap, path.c_str(), PNG_DEFAULT);
    return path;
}
