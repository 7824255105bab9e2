// SPDX-License-Identifier: MIT
#include "app/paint_run.h"

#include "paint/paint_picture.h"

#include <system_error>
#include <utility>

CPaintRun::CPaintRun(InpaintJob job, FillMethod method, FIBITMAP* fullDepth, GuideMap guides)
    : m_guides(std::move(guides))
{
    job.progress = {&CPaintRun::Report, this, &m_stop};
    const GuideMap* const followed = m_guides.empty() ? nullptr : &m_guides;
    const auto fill = [job, method, fullDepth, followed] { return PaintPicture(job, method, fullDepth, followed); };
    try {
        m_result = std::async(std::launch::async, fill);
    } catch (const std::system_error&) {
        std::promise<InpaintOutcome> here;
        here.set_value(fill());
        m_result = here.get_future();
    }
}

CPaintRun::~CPaintRun()
{
    if (m_result.valid())
        m_result.wait();
}

bool CPaintRun::WaitFor(std::chrono::milliseconds time)
{
    return !m_result.valid() || m_result.wait_for(time) == std::future_status::ready;
}

double CPaintRun::Fraction() const
{
    const int64_t total = m_total.load(std::memory_order_relaxed);
    return total > 0 ? static_cast<double>(m_filled.load(std::memory_order_relaxed)) / static_cast<double>(total)
                     : 0.0;
}

void CPaintRun::Cancel()
{
    m_stop.store(true);
}

InpaintOutcome CPaintRun::Outcome()
{
    return m_result.get();
}

void CPaintRun::Report(void* context, int64_t filled, int64_t total)
{
    auto* run = static_cast<CPaintRun*>(context);
    run->m_total.store(total, std::memory_order_relaxed);
    run->m_filled.store(filled, std::memory_order_relaxed);
}
