// SPDX-License-Identifier: MIT
// The front sweep as first written: from the back, erasing as it goes.
#include "reference/literal_engine.h"

#include "engine/fill_front.h"

namespace reference {

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
