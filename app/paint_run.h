// SPDX-License-Identifier: MIT
// One fill on a worker thread, so that the window can show its progress and
// take Cancel while it runs.
#pragma once

#include "controls/progress_box.h"
#include "engine/inpaint_job.h"
#include "structure/fill_method.h"

#include <atomic>
#include <cstdint>
#include <future>
#include <vector>

class CPaintRun final : public CJobWatch {
public:
    // Starts the job at once with method; on a system without room for
    // another thread it runs here and has ended when the constructor
    // returns. fullDepth, when given, is the picture at 16 bits per channel
    // that takes the fill's result before it ends; guides (empty: none) are
    // kept here while the fill follows them.
    CPaintRun(InpaintJob job, FillMethod method, FIBITMAP* fullDepth = nullptr, GuideMap guides = {});
    // Waits for the worker: it must never outlive the bitmaps it writes.
    ~CPaintRun() override;
    CPaintRun(const CPaintRun&) = delete;
    CPaintRun& operator=(const CPaintRun&) = delete;

    bool WaitFor(std::chrono::milliseconds time) override;
    double Fraction() const override;
    void Cancel() override;

    bool CancelRequested() const { return m_stop.load(); }
    // Waits for the end; an exception of the engine is thrown again here.
    InpaintOutcome Outcome();

private:
    static void Report(void* context, int64_t filled, int64_t total);

    std::atomic<int64_t> m_filled{0};
    std::atomic<int64_t> m_total{0};
    std::atomic<bool> m_stop{false};
    // Before the result: the worker reads it until the destructor has waited.
    const GuideMap m_guides;
    std::future<InpaintOutcome> m_result;
};
