// SPDX-License-Identifier: MIT
// The front as first written: built by looking at every pixel of the box,
// swept from the back, erasing as it goes.
#include "reference/literal_engine.h"

#include "engine/fill_front.h"

namespace reference {

void BuildFront(int minX, int maxX, int minY, int maxY, const uint8_t* colourBuffer, const uint8_t* maskBuffer,
                int width, int bytesPerPixel, int colourType, bool firstPass)
{
    for (int y = minY - 1; y <= maxY + 1; ++y) {
        for (int x = minX - 1; x <= maxX + 1; ++x) {
            if (!IsKnownCode(maskBuffer[static_cast<std::size_t>(y) * width + x]))
                continue;
            const int holeNeighbours = CountHoleNeighbours(maskBuffer, width, x, y);
            if (holeNeighbours < 1 || holeNeighbours > 6)
                continue;
            FillFront.push_back(
                ComputeGrowPoint(x, y, holeNeighbours, colourBuffer, maskBuffer, width, bytesPerPixel, colourType));
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

} // namespace reference
