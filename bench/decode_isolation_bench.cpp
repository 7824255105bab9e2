// SPDX-License-Identifier: MIT
// What decoding in a helper process costs: the 24-megapixel JPEG of
// bench/photos.sh decoded in this process and through the helper, which adds
// the process start and the hand-over of the pixels. Freeing the picture is
// left out of both, as it belongs to closing it, and each load starts on a
// machine at rest, as when a person opens one picture after another. The helper's processor time
// is counted apart (helper_cpu_ms), since the CPU column is this process's
// alone.
#include "photo_files.h"
#include "picture/isolated_decoding.h"
#include "picture/picture_decoding.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <thread>
#include <sys/resource.h>

namespace {

// Between loads, untimed: whatever the last load left running has ended.
void Rest(DecodedPicture& picture)
{
    picture = {};
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

double ChildrenCpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

void InProcess(benchmark::State& state)
{
    const std::string path = PhotoFile("photo", 24);
    for (auto _ : state) {
        DecodedPicture picture = DecodePictureFile(path, path, CurrentDecodeLimits().budgetBytes);
        benchmark::DoNotOptimize(picture.bitmap.get());
        state.PauseTiming();
        Rest(picture);
        state.ResumeTiming();
    }
}

void Isolated(benchmark::State& state)
{
    const std::string path = PhotoFile("photo", 24);
    // As the editor does at startup; quenlo-inpaint starts its processes when it needs them.
    if (state.range(0) != 0)
        KeepPictureDecoderReady();
    const double helperBefore = ChildrenCpuMilliseconds();
    for (auto _ : state) {
        DecodedPicture picture = DecodeIsolated(path, CurrentDecodeLimits());
        if (!picture.bitmap)
            state.SkipWithError(picture.error.c_str());
        benchmark::DoNotOptimize(picture.bitmap.get());
        state.PauseTiming();
        Rest(picture);
        state.ResumeTiming();
    }
    state.counters["helper_cpu_ms"] =
        benchmark::Counter(ChildrenCpuMilliseconds() - helperBefore, benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(InProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
// Started when asked for first, then kept ready: once kept, always kept.
BENCHMARK(Isolated)->ArgName("ready")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

BENCHMARK_MAIN();
