// SPDX-License-Identifier: MIT
#include "engine/front_queue.h"

#include "engine/fill_front.h"

#include <algorithm>
#include <numeric>

bool FrontQueue::Before(int a, int b) const
{
    const double pa = FillFront[static_cast<std::size_t>(a)].priority;
    const double pb = FillFront[static_cast<std::size_t>(b)].priority;
    // Priorities are never negative; among zeros the earlier point comes
    // first, otherwise the higher priority and then the later point.
    if (pa != pb)
        return pa > pb;
    return pa > 0.0 ? a > b : a < b;
}

void FrontQueue::Start()
{
    m_heap.resize(FillFront.size());
    std::iota(m_heap.begin(), m_heap.end(), 0);
    m_removed = 0;
    std::make_heap(m_heap.begin(), m_heap.end(), [this](int a, int b) { return Before(b, a); });
}

bool FrontQueue::Next(const uint8_t* maskBuffer, int width, GrowPoint& point)
{
    const auto after = [this](int a, int b) { return Before(b, a); };
    while (!m_heap.empty()) {
        std::pop_heap(m_heap.begin(), m_heap.end(), after);
        const GrowPoint& candidate = FillFront[static_cast<std::size_t>(m_heap.back())];
        m_heap.pop_back();
        if (CountHoleNeighbours(maskBuffer, width, candidate.x, candidate.y) == 0) {
            ++m_removed;
            continue;
        }
        point = candidate;
        return true;
    }
    return false;
}
