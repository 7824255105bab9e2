// SPDX-License-Identifier: MIT
#include "kernels/parallel_for.h"

#include <algorithm>
#include <tbb/global_control.h>
#include <tbb/parallel_for.h>

void ParallelFor(int first, int last, const std::function<void(int)>& body)
{
    if (last <= first)
        return;
    if (last - first == 1) {
        body(first);
        return;
    }
    tbb::parallel_for(first, last, [&body](int i) { body(i); });
}

struct WorkerThreadLimit::Control {
    tbb::global_control control;
    explicit Control(int threads)
        : control(tbb::global_control::max_allowed_parallelism, static_cast<std::size_t>(std::max(threads, 1)))
    {
    }
};

WorkerThreadLimit::WorkerThreadLimit(int threads)
    : m_control(std::make_unique<Control>(threads))
{
}

WorkerThreadLimit::~WorkerThreadLimit() = default;
