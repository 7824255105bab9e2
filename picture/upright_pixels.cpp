// SPDX-License-Identifier: MIT
#include "picture/upright_pixels.h"

#include "picture/exif_orientation.h"
#include "picture/picture_info.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// Orientations 5 to 8 swap the picture's rows and columns.
bool SwapsAxes(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

// The stored pixel (column, row), rows counted from the top, shown at
// upright (x, y) is (column0 + x * columnPerX + y * columnPerY, row0 + ...).
struct StoredWalk {
    long long column0, columnPerX, columnPerY;
    long long row0, rowPerX, rowPerY;
};

StoredWalk Walk(int orientation, unsigned width, unsigned height)
{
    const long long right = width - 1LL;
    const long long bottom = height - 1LL;
    switch (orientation) {
    case 2: return {right, -1, 0, 0, 0, 1};
    case 3: return {right, -1, 0, bottom, 0, -1};
    case 4: return {0, 1, 0, bottom, 0, -1};
    case 5: return {0, 0, 1, 0, 1, 0};
    case 6: return {0, 0, 1, bottom, -1, 0};
    case 7: return {right, 0, -1, bottom, -1, 0};
    case 8: return {right, 0, -1, 0, 1, 0};
    default: return {0, 1, 0, 0, 0, 1};
    }
}

// Copies in tiles, so that a quarter turn, which reads down the stored
// columns, finds the rows it reads still in the cache.
template <std::size_t PixelBytes>
void CopyTiles(FIBITMAP* stored, FIBITMAP* upright, const StoredWalk& walk, std::size_t pixelBytes)
{
    constexpr unsigned Tile = 64;
    const std::size_t bytes = PixelBytes != 0 ? PixelBytes : pixelBytes;
    const long long storedPitch = FreeImage_GetPitch(stored);
    // FreeImage keeps the bottom row first: the top row is the last line.
    const BYTE* storedTop = FreeImage_GetScanLine(stored, static_cast<int>(FreeImage_GetHeight(stored)) - 1);
    const auto storedAddress = [&](long long column, long long row) {
        return storedTop - row * storedPitch + column * static_cast<long long>(bytes);
    };
    // One step right in the upright picture, in the stored picture's bytes.
    const long long step = walk.columnPerX * static_cast<long long>(bytes) - walk.rowPerX * storedPitch;
    const unsigned width = FreeImage_GetWidth(upright);
    const unsigned height = FreeImage_GetHeight(upright);
    for (unsigned top = 0; top < height; top += Tile)
        for (unsigned left = 0; left < width; left += Tile)
            for (unsigned y = top; y < std::min(top + Tile, height); ++y) {
                BYTE* out = FreeImage_GetScanLine(upright, static_cast<int>(height - 1 - y)) + left * bytes;
                const BYTE* in = storedAddress(walk.column0 + left * walk.columnPerX + y * walk.columnPerY,
                                               walk.row0 + left * walk.rowPerX + y * walk.rowPerY);
                const unsigned count = std::min(left + Tile, width) - left;
                // Addresses are formed for pixels that exist only.
                for (unsigned i = 0; i < count; ++i)
                    std::memcpy(out + i * bytes, in + i * step, PixelBytes != 0 ? PixelBytes : bytes);
            }
}

void CopyTurned(FIBITMAP* stored, FIBITMAP* upright, const StoredWalk& walk, std::size_t pixelBytes)
{
    // A size known when compiling makes each pixel's copy a move or two.
    switch (pixelBytes) {
    case 1: return CopyTiles<1>(stored, upright, walk, pixelBytes);
    case 2: return CopyTiles<2>(stored, upright, walk, pixelBytes);
    case 3: return CopyTiles<3>(stored, upright, walk, pixelBytes);
    case 4: return CopyTiles<4>(stored, upright, walk, pixelBytes);
    case 6: return CopyTiles<6>(stored, upright, walk, pixelBytes);
    case 8: return CopyTiles<8>(stored, upright, walk, pixelBytes);
    default: return CopyTiles<0>(stored, upright, walk, pixelBytes);
    }
}

} // namespace

void UprightSize(int orientation, unsigned& width, unsigned& height)
{
    if (SwapsAxes(orientation))
        std::swap(width, height);
}

BitmapPtr TurnUpright(FIBITMAP* bitmap, int orientation)
{
    const unsigned bpp = FreeImage_GetBPP(bitmap);
    if (bpp < 8 || bpp % 8 != 0)
        return nullptr;
    const std::size_t pixelBytes = bpp / 8;
    const unsigned width = FreeImage_GetWidth(bitmap);
    const unsigned height = FreeImage_GetHeight(bitmap);
    unsigned uprightWidth = width;
    unsigned uprightHeight = height;
    UprightSize(orientation, uprightWidth, uprightHeight);
    BitmapPtr upright(FreeImage_AllocateT(FreeImage_GetImageType(bitmap), static_cast<int>(uprightWidth),
                                          static_cast<int>(uprightHeight), static_cast<int>(bpp),
                                          FreeImage_GetRedMask(bitmap), FreeImage_GetGreenMask(bitmap),
                                          FreeImage_GetBlueMask(bitmap)));
    if (!upright)
        return nullptr;
    if (FreeImage_GetPalette(bitmap) != nullptr && FreeImage_GetPalette(upright.get()) != nullptr)
        std::memcpy(FreeImage_GetPalette(upright.get()), FreeImage_GetPalette(bitmap),
                    FreeImage_GetColorsUsed(bitmap) * sizeof(RGBQUAD));
    CopyPictureInfo(upright.get(), bitmap);
    if (SwapsAxes(orientation)) {
        FreeImage_SetDotsPerMeterX(upright.get(), FreeImage_GetDotsPerMeterY(bitmap));
        FreeImage_SetDotsPerMeterY(upright.get(), FreeImage_GetDotsPerMeterX(bitmap));
    }
    CopyTurned(bitmap, upright.get(), Walk(orientation, width, height), pixelBytes);
    return upright;
}

int TurnLoadedPictureUpright(LoadedPicture& loaded)
{
    const int orientation = ExifOrientation(loaded.bitmap.get());
    if (!loaded || orientation == 1)
        return 1;
    for (BitmapPtr* picture : {&loaded.bitmap, &loaded.fullDepth}) {
        if (!*picture)
            continue;
        // Each picture goes as soon as its upright copy is made, which keeps the peak memory down.
        BitmapPtr upright = TurnUpright(picture->get(), orientation);
        if (!upright) {
            loaded.bitmap.reset();
            loaded.fullDepth.reset();
            loaded.error = "the picture is too large to turn upright (out of memory)";
            return orientation;
        }
        MarkUpright(upright.get());
        *picture = std::move(upright);
    }
    return orientation;
}
