// SPDX-License-Identifier: MIT
// The steps of quenlo-inpaint on photographs of 6, 12 and 24 megapixels
// (bench/photos.sh): decoding the JPEG and the mask PNG, the mask's codes,
// the engine on the 160-pixel disc, the promotion of its codes, the count
// of unfilled pixels and the encoding of the result.
#include "cli/run_report.h"
#include "engine/write_back.h"
#include "mask/mask_picture.h"
#include "photo_files.h"
#include "picture/picture_loader.h"
#include "picture/picture_writer.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>

namespace {

BitmapPtr Load(const std::string& path)
{
    LoadedPicture loaded = LoadPicture(path);
    if (!loaded)
        throw std::runtime_error(path + ": " + loaded.error);
    return std::move(loaded.bitmap);
}

// The decoded photo, its mask picture, and the picture filled once.
struct Photo {
    BitmapPtr picture;
    BitmapPtr holes;
    BitmapPtr filled;
    BitmapPtr filledMask;
    InpaintJob filledJob;
};

Photo& PhotoOf(long long megapixels)
{
    static std::map<long long, Photo> photos;
    Photo& photo = photos[megapixels];
    if (!photo.picture) {
        photo.picture = Load(PhotoFile("photo", megapixels));
        photo.holes = Load(PhotoFile("mask", megapixels));
        photo.filled.reset(FreeImage_Clone(photo.picture.get()));
        photo.filledMask.reset(FreeImage_Allocate(static_cast<int>(FreeImage_GetWidth(photo.picture.get())),
                                                  static_cast<int>(FreeImage_GetHeight(photo.picture.get())), 8));
        photo.filledJob =
            MaskPictureToJob(photo.holes.get(), photo.filledMask.get(), 32, false, photo.filled.get());
        InpaintRegion(photo.filledJob);
    }
    return photo;
}

void Decode(benchmark::State& state)
{
    const std::string path = PhotoFile("photo", state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(Load(path));
}

void DecodeMask(benchmark::State& state)
{
    const std::string path = PhotoFile("mask", state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(Load(path));
}

// Allocating the mask and writing its codes, as the tool does.
void MaskCodes(benchmark::State& state)
{
    Photo& photo = PhotoOf(state.range(0));
    FIBITMAP* holes = photo.holes.get();
    for (auto _ : state) {
        BitmapPtr mask(FreeImage_Allocate(static_cast<int>(FreeImage_GetWidth(holes)),
                                          static_cast<int>(FreeImage_GetHeight(holes)), 8));
        benchmark::DoNotOptimize(MaskPictureToJob(holes, mask.get(), 32, false, photo.picture.get()));
    }
}

void Engine(benchmark::State& state)
{
    Photo& photo = PhotoOf(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        BitmapPtr picture(FreeImage_Clone(photo.picture.get()));
        BitmapPtr mask(FreeImage_Allocate(static_cast<int>(FreeImage_GetWidth(picture.get())),
                                          static_cast<int>(FreeImage_GetHeight(picture.get())), 8));
        const InpaintJob job = MaskPictureToJob(photo.holes.get(), mask.get(), 32, false, picture.get());
        state.ResumeTiming();
        InpaintRegion(job);
    }
}

// The promotion's sweep over the scan rectangle, as the engine ends a job.
void Promotion(benchmark::State& state)
{
    const InpaintJob& job = PhotoOf(state.range(0)).filledJob;
    for (auto _ : state)
        PromoteFilledCodes(job.scanMinX, job.scanMaxX, job.scanMinY, job.scanMaxY, job.maskImage);
}

void CountUnfilled(benchmark::State& state)
{
    const InpaintJob& job = PhotoOf(state.range(0)).filledJob;
    for (auto _ : state)
        benchmark::DoNotOptimize(CountHolePixels(job));
}

void Encode(benchmark::State& state, const std::string& extension)
{
    Photo& photo = PhotoOf(state.range(0));
    const std::string path = PhotoFolder() + "/encoded" + std::to_string(state.range(0)) + extension;
    std::string error;
    for (auto _ : state)
        if (!WritePicture(photo.filled.get(), path, error))
            state.SkipWithError(error.c_str());
    // A label, not a counter: the CSV reporter stops at a counter that the
    // benchmarks before this one lacked.
    state.SetLabel(std::to_string(std::filesystem::file_size(path)) + " bytes");
    std::filesystem::remove(path);
}

} // namespace

#define PHOTO_SIZES ->Arg(6)->Arg(12)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime()
BENCHMARK(Decode) PHOTO_SIZES;
BENCHMARK(DecodeMask) PHOTO_SIZES;
BENCHMARK(MaskCodes) PHOTO_SIZES;
BENCHMARK(Engine) PHOTO_SIZES;
BENCHMARK(Promotion) PHOTO_SIZES;
BENCHMARK(CountUnfilled) PHOTO_SIZES;
BENCHMARK_CAPTURE(Encode, tif, std::string(".tif")) PHOTO_SIZES;
BENCHMARK_CAPTURE(Encode, png, std::string(".png")) PHOTO_SIZES;
BENCHMARK_CAPTURE(Encode, bmp, std::string(".bmp")) PHOTO_SIZES;

BENCHMARK_MAIN();
