// SPDX-License-Identifier: MIT
// How the cost grows: the work around the engine on a 6000 x 4000 picture
// with a 60 x 60 hole (overlay conversion, and the whole job, whose window
// work is small there), engine time against hole area on a fixed picture,
// and against picture size for a fixed hole. The pictures are the coffee
// sample scaled; holes are discs in the middle, painted as the editor's
// overlay. Every run checks the hash of its result.
#include "bench_cases.h"
#include "kernels/parallel_for.h"
#include "mask/overlay_buffer.h"
#include "mask/overlay_to_mask.h"
#include "picture/picture_loader.h"
#include "pinned_hash.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <stdexcept>
#include <string>

namespace {

const std::string SamplePicture = QUENLO_SAMPLES_DIR "/coffee.png";

BitmapPtr ScaledSample(int width, int height)
{
    static LoadedPicture sample = LoadPicture(SamplePicture);
    if (!sample)
        throw std::runtime_error("cannot load " + SamplePicture + ": " + sample.error);
    return BitmapPtr(FreeImage_Rescale(sample.bitmap.get(), width, height, FILTER_BILINEAR));
}

// The overlay buffer with a disc of the removal colour of the given area.
std::vector<uint8_t> DiscOverlay(int width, int height, double area)
{
    std::vector<uint8_t> overlay(OverlayRowStride(width) * static_cast<std::size_t>(height), 0);
    const double radius = std::sqrt(area / 3.141592653589793);
    const double cx = width / 2.0, cy = height / 2.0;
    for (int y = static_cast<int>(cy - radius) - 1; y <= static_cast<int>(cy + radius) + 1; ++y)
        for (int x = static_cast<int>(cx - radius) - 1; x <= static_cast<int>(cx + radius) + 1; ++x)
            if ((x + 0.5 - cx) * (x + 0.5 - cx) + (y + 0.5 - cy) * (y + 0.5 - cy) <= radius * radius) {
                uint8_t* pixel = overlay.data() + static_cast<std::size_t>(y) * OverlayRowStride(width) + 3 * x;
                pixel[0] = 125, pixel[1] = 125, pixel[2] = 255; // blue, green, red
            }
    return overlay;
}

struct Scene {
    BenchCase picture;
    double holeArea;
};

Scene& SceneFor(int width, int height, double holeArea)
{
    static std::map<std::string, Scene> scenes;
    const std::string key = std::to_string(width) + "x" + std::to_string(height) + "/" + std::to_string(holeArea);
    auto found = scenes.find(key);
    if (found == scenes.end()) {
        Scene scene;
        scene.picture.name = key;
        scene.picture.picture = ScaledSample(width, height);
        scene.picture.width = width;
        scene.picture.height = height;
        scene.picture.overlay = DiscOverlay(width, height, holeArea);
        scene.holeArea = holeArea;
        found = scenes.emplace(key, std::move(scene)).first;
    }
    return found->second;
}

// Results of the first runs, which the engine's tests tie to the plain engine.
const std::map<std::string, uint64_t> ExpectedHashes = {
    {"OverlayConversion", 11838560832238574853ull},
    {"EngineJob/3600/24", 14733857997660139315ull},
    {"EngineJob/1000/2", 6162621843806884515ull},
    {"EngineJob/3000/2", 6123231277298213466ull},
    {"EngineJob/10000/2", 17898181060273636183ull},
    {"EngineJob/30000/2", 15224749664515206962ull},
    {"EngineJob/100000/2", 996612662839332144ull},
    {"EngineJob/3000/1", 9538798253051582680ull},
    {"EngineJob/3000/4", 18098871328782530765ull},
    {"EngineJob/3000/12", 14749547784888980181ull},
    {"EngineJob/3000/24", 10329783484147172733ull},
};

// The overlay conversion alone: classification of every pixel, the flip.
void OverlayConversion(benchmark::State& state)
{
    Scene& scene = SceneFor(6000, 4000, 3600);
    uint64_t hash = 0;
    for (auto _ : state) {
        BitmapPtr picture;
        BitmapPtr mask;
        state.PauseTiming();
        mask.reset(FreeImage_Allocate(6000, 4000, 8));
        state.ResumeTiming();
        const InpaintJob job = OverlayToMask(scene.picture.overlay.data(), 6000, 4000, mask.get(), 32, false,
                                             scene.picture.picture.get(), {});
        benchmark::DoNotOptimize(job);
        state.PauseTiming();
        hash = HashResult(scene.picture.picture.get(), mask.get());
        state.ResumeTiming();
    }
    CheckPinnedHash(state, ExpectedHashes, "OverlayConversion", hash);
}

// A whole job: engine time for a disc of area range(0) on a picture of
// range(1) megapixels (3:2).
void EngineJob(benchmark::State& state)
{
    const double megapixels = static_cast<double>(state.range(1));
    const int width = static_cast<int>(std::lround(std::sqrt(megapixels * 1e6 * 1.5)));
    const int height = static_cast<int>(std::lround(megapixels * 1e6 / width));
    Scene& scene = SceneFor(width, height, static_cast<double>(state.range(0)));
    uint64_t hash = 0;
    for (auto _ : state) {
        state.PauseTiming();
        BitmapPtr picture;
        BitmapPtr mask;
        const InpaintJob job = PrepareBenchJob(scene.picture, 32, picture, mask);
        state.ResumeTiming();
        InpaintRegion(job);
        state.PauseTiming();
        hash = HashResult(picture.get(), mask.get());
        state.ResumeTiming();
    }
    CheckPinnedHash(state, ExpectedHashes,
                    "EngineJob/" + std::to_string(state.range(0)) + "/" + std::to_string(state.range(1)), hash);
}

} // namespace

BENCHMARK(OverlayConversion)->Unit(benchmark::kMillisecond)->UseRealTime();
// The 6000 x 4000 picture with a 60 x 60 hole's area.
BENCHMARK(EngineJob)->Args({3600, 24})->Unit(benchmark::kMillisecond)->UseRealTime();
// Hole area on a 2-megapixel picture.
BENCHMARK(EngineJob)
    ->ArgsProduct({{1000, 3000, 10000, 30000, 100000}, {2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
// Picture size for a fixed hole.
BENCHMARK(EngineJob)->ArgsProduct({{3000}, {1, 4, 12, 24}})->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
