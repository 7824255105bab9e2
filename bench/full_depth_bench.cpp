// SPDX-License-Identifier: MIT
// The fill of a 48-bit picture of 6000 x 4000 pixels (the coffee sample
// scaled, with noise in the low bytes), a disc of range(0) pixels in the
// middle: the patch engine with its result widened into the 16 bits as
// before (FullDepthWidened), and with the fill repeated at 16 bits from the
// engine's record (FullDepthReplayed). Each checks the hash of its result and
// reports the memory the record and the window's 16-bit twin take.
#include "bench_cases.h"
#include "engine/fill_record.h"
#include "mask/filled_pixels.h"
#include "mask/overlay_buffer.h"
#include "mask/overlay_to_mask.h"
#include "paint/paint_picture.h"
#include "picture/full_depth.h"
#include "picture/picture_loader.h"
#include "pinned_hash.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <random>
#include <stdexcept>
#include <string>

namespace {

constexpr int Width = 6000;
constexpr int Height = 4000;

struct DeepScene {
    BitmapPtr fullDepth;
    std::vector<uint8_t> overlay;
};

BitmapPtr DeepSample()
{
    const std::string path = QUENLO_SAMPLES_DIR "/coffee.png";
    const LoadedPicture sample = LoadPicture(path);
    if (!sample)
        throw std::runtime_error("cannot load " + path + ": " + sample.error);
    const BitmapPtr scaled(FreeImage_Rescale(sample.bitmap.get(), Width, Height, FILTER_BILINEAR));
    BitmapPtr deep(FreeImage_ConvertToType(scaled.get(), FIT_RGB16));
    std::mt19937 random(7);
    for (int y = 0; y < Height; ++y) {
        auto* samples = reinterpret_cast<uint16_t*>(FreeImage_GetScanLine(deep.get(), y));
        for (int i = 0; i < 3 * Width; ++i)
            samples[i] = static_cast<uint16_t>((samples[i] & 0xFF00) | (random() & 0xFF));
    }
    return deep;
}

const DeepScene& SceneWithHole(double area)
{
    static std::map<double, DeepScene> scenes;
    auto found = scenes.find(area);
    if (found != scenes.end())
        return found->second;
    static const BitmapPtr sample = DeepSample();
    DeepScene scene;
    scene.fullDepth.reset(FreeImage_Clone(sample.get()));
    scene.overlay.assign(OverlayRowStride(Width) * static_cast<std::size_t>(Height), 0);
    const double radius = std::sqrt(area / 3.141592653589793);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            if (std::hypot(x + 0.5 - Width / 2.0, y + 0.5 - Height / 2.0) <= radius) {
                uint8_t* pixel = scene.overlay.data() + static_cast<std::size_t>(y) * OverlayRowStride(Width) + 3 * x;
                pixel[0] = 125, pixel[1] = 125, pixel[2] = 255; // blue, green, red
            }
    return scenes.emplace(area, std::move(scene)).first->second;
}

// A fresh 16-bit picture, its working reduction and the job on them.
struct DeepRun {
    BitmapPtr fullDepth;
    BitmapPtr working;
    BitmapPtr mask;
    InpaintJob job;
};

DeepRun Prepare(const DeepScene& scene)
{
    DeepRun run;
    run.fullDepth.reset(FreeImage_Clone(scene.fullDepth.get()));
    run.working = ReduceToWorkingDepth(run.fullDepth.get());
    run.mask.reset(FreeImage_Allocate(Width, Height, 8));
    run.job = OverlayToMask(scene.overlay.data(), Width, Height, run.mask.get(), 32, true, run.working.get(),
                            [](const std::string&) {});
    return run;
}

uint64_t HashDeep(const DeepRun& run)
{
    return HashResult(run.working.get(), run.mask.get()) ^ HashResult(run.fullDepth.get(), run.mask.get());
}

// Both paths give their own pinned results; a change of either fails here.
const std::map<std::string, uint64_t> ExpectedHashes = {
    {"FullDepthWidened/3600", 11669654625175285767ull},   {"FullDepthWidened/30000", 2297932792805293454ull},
    {"FullDepthWidened/300000", 13755877068740577643ull}, {"FullDepthReplayed/3600", 8422307976943116157ull},
    {"FullDepthReplayed/30000", 11308896043938217901ull}, {"FullDepthReplayed/300000", 14490708552365268743ull},
};

void FullDepthWidened(benchmark::State& state)
{
    const DeepScene& scene = SceneWithHole(static_cast<double>(state.range(0)));
    uint64_t hash = 0;
    for (auto _ : state) {
        state.PauseTiming();
        DeepRun run = Prepare(scene);
        state.ResumeTiming();
        std::vector<uint8_t> filled = HolePixels(run.mask.get());
        InpaintRegion(run.job);
        KeepFilledPixels(filled, run.mask.get());
        ComposeFullDepth(run.fullDepth.get(), run.working.get(), filled);
        state.PauseTiming();
        hash = HashDeep(run);
        state.ResumeTiming();
    }
    CheckPinnedHash(state, ExpectedHashes, "FullDepthWidened/" + std::to_string(state.range(0)), hash);
}

void FullDepthReplayed(benchmark::State& state)
{
    const DeepScene& scene = SceneWithHole(static_cast<double>(state.range(0)));
    uint64_t hash = 0;
    for (auto _ : state) {
        state.PauseTiming();
        DeepRun run = Prepare(scene);
        state.ResumeTiming();
        PaintPicture(run.job, FillMethod::Patches, run.fullDepth.get(), nullptr);
        state.PauseTiming();
        hash = HashDeep(run);
        state.ResumeTiming();
    }
    CheckPinnedHash(state, ExpectedHashes, "FullDepthReplayed/" + std::to_string(state.range(0)), hash);
    // What the 16-bit path holds beyond the widening one, from one more run.
    DeepRun run = Prepare(scene);
    FillRecord record;
    run.job.record = &record;
    InpaintRegion(run.job);
    const double recordBytes = static_cast<double>(record.windowCodes.size() +
                                                   record.pastes.size() * sizeof(RecordedPaste) +
                                                   record.averaged.size() * sizeof(RecordedPoint));
    const double twinBytes = static_cast<double>(record.windowCodes.size()) * (3 * sizeof(uint16_t) + 1);
    state.counters["record_MiB"] = recordBytes / (1 << 20);
    state.counters["twin_MiB"] = twinBytes / (1 << 20);
    state.counters["pastes"] = static_cast<double>(record.pastes.size());
    state.counters["averaged"] = static_cast<double>(record.averaged.size());
}

} // namespace

// Each run fills a fresh copy of 137 MiB of samples: a few runs suffice.
BENCHMARK(FullDepthWidened)
    ->Arg(3600)->Arg(30000)->Arg(300000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4);
BENCHMARK(FullDepthReplayed)
    ->Arg(3600)->Arg(30000)->Arg(300000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4);

BENCHMARK_MAIN();
