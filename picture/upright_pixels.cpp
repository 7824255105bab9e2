// SPDX-License-Identifier: MIT
#include "picture/upright_pixels.h"

#include "picture/exif_orientation.h"
#include "picture/picture_info.h"

#include <cstring>
#include <utility>

namespace {

// Orientations 5 to 8 swap the picture's rows and columns.
bool SwapsAxes(int orientation)
{
    return orientation >= 5 && orientation <= 8;
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
    // In rows counted from the top: the stored pixel (column, row) that
    // shows at upright (x, y).
    const auto storedAt = [&](unsigned x, unsigned y) -> std::pair<unsigned, unsigned> {
        switch (orientation) {
        case 2: return {width - 1 - x, y};
        case 3: return {width - 1 - x, height - 1 - y};
        case 4: return {x, height - 1 - y};
        case 5: return {y, x};
        case 6: return {y, height - 1 - x};
        case 7: return {width - 1 - y, height - 1 - x};
        case 8: return {width - 1 - y, x};
        default: return {x, y};
        }
    };
    for (unsigned y = 0; y < uprightHeight; ++y) {
        // FreeImage counts scan lines from the bottom.
        BYTE* out = FreeImage_GetScanLine(upright.get(), static_cast<int>(uprightHeight - 1 - y));
        for (unsigned x = 0; x < uprightWidth; ++x) {
            const auto [column, row] = storedAt(x, y);
            const BYTE* in = FreeImage_GetScanLine(bitmap, static_cast<int>(height - 1 - row));
            std::memcpy(out + x * pixelBytes, in + column * pixelBytes, pixelBytes);
        }
    }
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
