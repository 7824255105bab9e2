// SPDX-License-Identifier: MIT
#include "bench_cases.h"

#include "mask/overlay_buffer.h"
#include "mask/overlay_to_mask.h"
#include "picture/picture_loader.h"

#include <stdexcept>

namespace {

const std::string BenchFolder = QUENLO_BENCH_DIR;

uint64_t HashBits(FIBITMAP* bitmap, uint64_t hash)
{
    const unsigned height = FreeImage_GetHeight(bitmap);
    const unsigned rowBytes = FreeImage_GetLine(bitmap);
    for (unsigned y = 0; y < height; ++y) {
        const BYTE* row = FreeImage_GetScanLine(bitmap, static_cast<int>(y));
        for (unsigned i = 0; i < rowBytes; ++i) {
            hash ^= row[i];
            hash *= 1099511628211ull;
        }
    }
    return hash;
}

} // namespace

const std::vector<std::string>& BenchCaseNames()
{
    static const std::vector<std::string> names = {"a1_brick_sq40", "b1_chelsea_blob60", "b2_coffee_blob60",
                                                   "c_astronaut_scratch6", "d1_coffee_large10"};
    return names;
}

BenchCase LoadBenchCase(const std::string& name)
{
    BenchCase benchCase;
    benchCase.name = name;
    LoadedPicture picture = LoadPicture(BenchFolder + "/" + name + "_orig.png");
    LoadedPicture strokes = LoadPicture(BenchFolder + "/" + name + "_overlay.png");
    if (!picture || !strokes)
        throw std::runtime_error("cannot load bench case " + name + ": " + picture.error + strokes.error);
    benchCase.width = static_cast<int>(FreeImage_GetWidth(picture.bitmap.get()));
    benchCase.height = static_cast<int>(FreeImage_GetHeight(picture.bitmap.get()));
    benchCase.overlay = OverlayBufferFromBitmap(strokes.bitmap.get());
    benchCase.picture = std::move(picture.bitmap);
    return benchCase;
}

InpaintJob PrepareBenchJob(const BenchCase& benchCase, int patchSize, BitmapPtr& picture, BitmapPtr& mask)
{
    picture.reset(FreeImage_Clone(benchCase.picture.get()));
    mask.reset(FreeImage_Allocate(benchCase.width, benchCase.height, 8));
    return OverlayToMask(benchCase.overlay.data(), benchCase.width, benchCase.height, mask.get(), patchSize, false,
                         picture.get(), [](const std::string&) {});
}

uint64_t HashResult(FIBITMAP* picture, FIBITMAP* mask)
{
    return HashBits(mask, HashBits(picture, 14695981039346656037ull));
}
