// SPDX-License-Identifier: MIT
// What decoding in a helper process costs: a 24-megapixel JPEG (the coffee
// sample scaled to 6000 x 4000) decoded in this process and through the
// helper, which adds the process start and the hand-over of the pixels.
#include "picture/isolated_decoding.h"
#include "picture/picture_decoding.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

const std::string& BigJpeg()
{
    static const std::string path = [] {
        const std::string file =
            (std::filesystem::temp_directory_path() / ("quenlo-bench-" + std::to_string(getpid()) + ".jpg")).string();
        const DecodedPicture sample = DecodePictureFile(QUENLO_SAMPLES_DIR "/coffee.png", "coffee.png", ~0ull);
        BitmapPtr big(FreeImage_Rescale(sample.bitmap.get(), 6000, 4000, FILTER_BILINEAR));
        if (!big || !FreeImage_Save(FIF_JPEG, big.get(), file.c_str(), JPEG_QUALITYGOOD))
            throw std::runtime_error("cannot write " + file);
        std::atexit([] { std::filesystem::remove(BigJpeg()); });
        return file;
    }();
    return path;
}

void InProcess(benchmark::State& state)
{
    const std::string& path = BigJpeg();
    for (auto _ : state) {
        DecodedPicture picture = DecodePictureFile(path, path, CurrentDecodeLimits().budgetBytes);
        benchmark::DoNotOptimize(picture.bitmap.get());
    }
}

void Isolated(benchmark::State& state)
{
    const std::string& path = BigJpeg();
    for (auto _ : state) {
        DecodedPicture picture = DecodeIsolated(path, CurrentDecodeLimits());
        if (!picture.bitmap)
            state.SkipWithError(picture.error.c_str());
        benchmark::DoNotOptimize(picture.bitmap.get());
    }
}

} // namespace

BENCHMARK(InProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(Isolated)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

BENCHMARK_MAIN();
