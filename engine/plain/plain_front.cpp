// SPDX-License-Identifier: MIT
// The front built by looking at every pixel of the box, swept from the back
// before every choice, erasing as it goes.
#include "engine/plain/plain_engine.h"

#include "engine/fill_front.h"

namespace plain {

void BuildFront(const WindowView& window, int minX, int maxX, int minY, int maxY, int colourType, bool firstPass,
                JobScratch& /*scratch*/)
{
    for (int y = minY - 1; y <= maxY + 1; ++y) {
        for (int x = minX - 1; x <= maxX + 1; ++x) {
            if (!IsKnownCode(window.maskBuffer[static_cast<std::size_t>(y) * window.width + x]))
                continue;
            const int holeNeighbours = CountHoleNeighbours(window.maskBuffer, window.width, x, y);
            if (holeNeighbours < 1 || holeNeighbours > 6)
                continue;
            FillFront.push_back(ComputeGrowPoint(window, x, y, holeNeighbours, colourType));
            if (firstPass)
                InitialFront.push_back({x, y});
        }
    }
}

FrontSelection SelectNext(const uint8_t* maskBuffer, int width)
{
    FrontSelection selection;
    double bestPriority = 0.0;
    for (int i = static_cast<int>(FillFront.size()) - 1; i >= 0; --i) {
        const GrowPoint& point = FillFront[static_cast<std::size_t>(i)];
        if (CountHoleNeighbours(maskBuffer, width, point.x, point.y) == 0) {
            FillFront.erase(FillFront.begin() + i);
            if (selection.index > i)
                --selection.index;
            ++selection.removed;
        } else if (point.priority > bestPriority) {
            bestPriority = point.priority;
            selection.index = i;
        }
    }
    return selection;
}

bool FrontQueue::Next(const uint8_t* maskBuffer, int width, GrowPoint& point)
{
    if (FillFront.empty())
        return false;
    const FrontSelection selection = SelectNext(maskBuffer, width);
    m_removed += static_cast<std::size_t>(selection.removed);
    if (FillFront.empty())
        return false;
    point = FillFront[static_cast<std::size_t>(selection.index)];
    FillFront.erase(FillFront.begin() + selection.index);
    return true;
}

} // namespace plain
