// SPDX-License-Identifier: MIT
// What decoding in a helper process costs: the 24-megapixel JPEG of
// bench/photos.sh decoded in this process and through the helper, which adds
// the process start and the hand-over of the pixels. Each iteration loads
// the picture both ways in turn, so that the machine's drift falls on both
// alike; each load starts at rest, as when a person opens one picture after
// another, and freeing the picture is left out, as it belongs to closing it.
// Counters per load: wall time, and processor time of this process and the
// helpers together.
#include "photo_files.h"
#include "picture/isolated_decoding.h"
#include "picture/picture_decoding.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <sys/resource.h>

namespace {

double CpuMilliseconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

struct Load {
    double wallMs = 0;
    double cpuMs = 0;
};

// Lets whatever the last load left running end, and be reaped.
void Rest()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

// One load from rest, then rest again: a helper ends and is reaped after
// its load, and its time is counted with that load.
template <typename Decode>
Load Measure(Decode decode)
{
    const double childrenBefore = CpuMilliseconds(RUSAGE_CHILDREN);
    const double selfBefore = CpuMilliseconds(RUSAGE_SELF);
    const auto start = std::chrono::steady_clock::now();
    DecodedPicture picture = decode();
    const double wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const double selfMs = CpuMilliseconds(RUSAGE_SELF) - selfBefore;
    if (!picture.bitmap)
        throw std::runtime_error(picture.error);
    picture = {};
    Rest();
    return {wallMs, selfMs + CpuMilliseconds(RUSAGE_CHILDREN) - childrenBefore};
}

void InProcessThenIsolated(benchmark::State& state)
{
    const std::string path = PhotoFile("photo", 24);
    // As the editor does at startup; quenlo-inpaint starts its helpers when it needs them.
    if (state.range(0) != 0)
        KeepPictureDecoderReady();
    Load inProcess;
    Load isolated;
    Rest();
    for (auto _ : state) {
        const Load one = Measure([&] { return DecodePictureFile(path, path, CurrentDecodeLimits().budgetBytes); });
        const Load other = Measure([&] { return DecodeIsolated(path, CurrentDecodeLimits()); });
        inProcess.wallMs += one.wallMs;
        inProcess.cpuMs += one.cpuMs;
        isolated.wallMs += other.wallMs;
        isolated.cpuMs += other.cpuMs;
    }
    const auto average = [](double total) { return benchmark::Counter(total, benchmark::Counter::kAvgIterations); };
    state.counters["in_process_ms"] = average(inProcess.wallMs);
    state.counters["isolated_ms"] = average(isolated.wallMs);
    state.counters["in_process_cpu_ms"] = average(inProcess.cpuMs);
    state.counters["isolated_cpu_ms"] = average(isolated.cpuMs);
    state.counters["wall_cost_pct"] = 100 * (isolated.wallMs / inProcess.wallMs - 1);
    state.counters["cpu_cost_pct"] = 100 * (isolated.cpuMs / inProcess.cpuMs - 1);
}

} // namespace

// Started when asked for, then kept ready: once kept, always kept, so the order matters.
BENCHMARK(InProcessThenIsolated)->ArgName("ready")->Arg(0)->Arg(1)->Iterations(20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
