// SPDX-License-Identifier: MIT
#include "kernels/parallel_for.h"

#include <algorithm>

namespace {

// About how many pixels of work make it worth starting another thread.
constexpr long long PixelsPerTask = 16384;

} // namespace

#if defined(QUENLO_PLAIN_THREADS)
// For ThreadSanitizer builds: the prebuilt oneTBB library is not
// instrumented, so its scheduler would be reported as racing with our loop
// bodies. Plain threads with a static split let the sanitizer see everything.
#include <atomic>
#include <thread>
#include <vector>

namespace {
std::atomic<int> g_threadLimit{0};
}

void ParallelFor(int first, int last, const std::function<void(int)>& body, int /*pixelsPerIndex*/)
{
    if (last <= first)
        return;
    const int available = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int limit = g_threadLimit.load() > 0 ? g_threadLimit.load() : available;
    const int count = last - first;
    const int threads = std::min(limit, count);
    std::vector<std::thread> workers;
    auto runBlock = [&](int block) {
        const int begin = first + static_cast<int>(static_cast<long long>(count) * block / threads);
        const int end = first + static_cast<int>(static_cast<long long>(count) * (block + 1) / threads);
        for (int i = begin; i < end; ++i)
            body(i);
    };
    for (int block = 1; block < threads; ++block)
        workers.emplace_back(runBlock, block);
    runBlock(0);
    for (std::thread& worker : workers)
        worker.join();
}

struct WorkerThreadLimit::Control {
    int previous;
    explicit Control(int threads)
        : previous(g_threadLimit.exchange(std::max(threads, 1)))
    {
    }
    ~Control() { g_threadLimit.store(previous); }
};

#else
#include <tbb/global_control.h>
#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>

void ParallelFor(int first, int last, const std::function<void(int)>& body, int pixelsPerIndex)
{
    if (last <= first)
        return;
    const long long grain = std::max(1LL, PixelsPerTask / std::max(pixelsPerIndex, 1));
    if (last - first < 2 * grain) {
        for (int i = first; i < last; ++i)
            body(i);
        return;
    }
    tbb::parallel_for(tbb::blocked_range<int>(first, last, static_cast<std::size_t>(grain)),
                      [&body](const tbb::blocked_range<int>& range) {
                          for (int i = range.begin(); i != range.end(); ++i)
                              body(i);
                      });
}

struct WorkerThreadLimit::Control {
    tbb::global_control control;
    explicit Control(int threads)
        : control(tbb::global_control::max_allowed_parallelism, static_cast<std::size_t>(std::max(threads, 1)))
    {
    }
};
#endif

WorkerThreadLimit::WorkerThreadLimit(int threads)
    : m_control(std::make_unique<Control>(threads))
{
}

WorkerThreadLimit::~WorkerThreadLimit() = default;
