// SPDX-License-Identifier: MIT
// The engine's parallel row loop: body(i) once for every first <= i < last,
// in any order and on any worker, joined before the call returns. Bodies must
// write disjoint data, so results never depend on scheduling.
#pragma once

#include <functional>
#include <memory>

// pixelsPerIndex says how much work one index is; a loop too small to repay
// handing work to other threads runs on the calling thread.
void ParallelFor(int first, int last, const std::function<void(int)>& body, int pixelsPerIndex = 1 << 16);

// Caps the number of threads the parallel loops use while it lives
// (1 runs every loop on the calling thread). Limits nest like scopes.
class WorkerThreadLimit {
public:
    explicit WorkerThreadLimit(int threads);
    ~WorkerThreadLimit();
    WorkerThreadLimit(const WorkerThreadLimit&) = delete;
    WorkerThreadLimit& operator=(const WorkerThreadLimit&) = delete;

private:
    struct Control;
    std::unique_ptr<Control> m_control;
};
