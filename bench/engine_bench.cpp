// SPDX-License-Identifier: MIT
// Engine time on the shared benchmark cases at the editor's defaults
// (patch size 32, overlay route), with 1 and 2 worker threads, beside the
// plain engine, and the fast engine with a progress report and a stop flag
// installed, to show what following a job costs. Each run checks the hash of its result, so a fast wrong
// engine fails here.
#include "bench_cases.h"
#include "kernels/parallel_for.h"
#include "engine/plain/plain_engine.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <map>

namespace {

// Results of the plain engine, the reference for every faster one.
const std::map<std::string, uint64_t> ExpectedHashes = {
    {"a1_brick_sq40", 2007225013483517169ull},
    {"b1_chelsea_blob60", 6141402277582863841ull},
    {"b2_coffee_blob60", 593791264068752159ull},
    {"c_astronaut_scratch6", 11354671026760504161ull},
    {"d1_coffee_large10", 4945363761232020318ull},
};

using Engine = InpaintOutcome (*)(InpaintJob);

// What an editor does with a report: keep the latest count for its dialog.
struct FollowedJob {
    std::atomic<int64_t> filled{0};
    std::atomic<int> reports{0};
    std::atomic<bool> stop{false};
};

void KeepReport(void* context, int64_t filled, int64_t /*total*/)
{
    auto* followed = static_cast<FollowedJob*>(context);
    followed->filled.store(filled, std::memory_order_relaxed);
    followed->reports.fetch_add(1, std::memory_order_relaxed);
}

void EngineOnCase(benchmark::State& state, const std::string& name, Engine engine, bool followed)
{
    static std::map<std::string, BenchCase> cases;
    if (!cases.count(name))
        cases.emplace(name, LoadBenchCase(name));
    const BenchCase& benchCase = cases.at(name);
    WorkerThreadLimit limit(static_cast<int>(state.range(0)));

    uint64_t hash = 0;
    FollowedJob follower;
    for (auto _ : state) {
        state.PauseTiming();
        BitmapPtr picture;
        BitmapPtr mask;
        InpaintJob job = PrepareBenchJob(benchCase, 32, picture, mask);
        if (followed)
            job.progress = {&KeepReport, &follower, &follower.stop};
        state.ResumeTiming();
        engine(job);
        state.PauseTiming();
        hash = HashResult(picture.get(), mask.get());
        state.ResumeTiming();
    }
    const auto expected = ExpectedHashes.find(name);
    if (expected == ExpectedHashes.end())
        state.SetLabel("hash " + std::to_string(hash));
    else if (expected->second != hash)
        state.SkipWithError("result differs from the plain engine");
    if (followed)
        state.counters["reports"] = benchmark::Counter(follower.reports.load(), benchmark::Counter::kAvgIterations);
    state.counters["megapixels/s"] = benchmark::Counter(
        static_cast<double>(benchCase.width) * benchCase.height / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

int main(int argc, char** argv)
{
    for (const std::string& name : BenchCaseNames()) {
        benchmark::RegisterBenchmark(("Engine/" + name).c_str(), EngineOnCase, name, &InpaintRegion, false)
            ->Arg(1)
            ->Arg(2)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("FollowedEngine/" + name).c_str(), EngineOnCase, name, &InpaintRegion, true)
            ->Arg(1)
            ->Arg(2)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("PlainEngine/" + name).c_str(), EngineOnCase, name, &plain::InpaintRegion,
                                     false)
            ->Arg(1)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
