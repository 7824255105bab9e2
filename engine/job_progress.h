// SPDX-License-Identifier: MIT
// The engine's side of InpaintProgress: counts the hole pixels filled,
// passes the count on about every 1/256 of the hole so that a report costs
// nothing beside the work, and answers whether the caller asked to stop.
#pragma once

#include "engine/inpaint_job.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

class JobProgress {
public:
    static constexpr int64_t ReportsPerHole = 256;

    JobProgress(const InpaintProgress& progress, int64_t holeCount)
        : m_progress(progress), m_total(holeCount), m_step(std::max<int64_t>(1, holeCount / ReportsPerHole)),
          m_nextReport(m_step)
    {
    }

    bool StopRequested() const { return m_progress.stop != nullptr && m_progress.stop->load(std::memory_order_relaxed); }

    void Add(int64_t pixels)
    {
        m_filled = std::min(m_total, m_filled + pixels);
        if (m_filled < m_nextReport)
            return;
        Report();
        m_nextReport = m_filled + m_step;
    }

    // Every hole pixel is filled now, whoever filled the rest.
    void Finish()
    {
        m_filled = m_total;
        Report();
    }

private:
    void Report() const
    {
        if (m_progress.report != nullptr)
            m_progress.report(m_progress.context, m_filled, m_total);
    }

    InpaintProgress m_progress;
    int64_t m_total;
    int64_t m_step;
    int64_t m_nextReport;
    int64_t m_filled = 0;
};
