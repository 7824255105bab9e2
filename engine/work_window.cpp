// SPDX-License-Identifier: MIT
#include "engine/work_window.h"

#include <algorithm>

int ClampPatchSize(int patchSize)
{
    return std::clamp(patchSize, MinPatchSize, MaxPatchSize);
}

int ClampSearchGap(int searchGap)
{
    return std::max(searchGap, 1);
}

int WindowMargin(int patchSize, int searchGap)
{
    return patchSize / 2 + patchSize + searchGap + 3;
}

WorkWindow MakeWorkWindow(int minX, int maxX, int minY, int maxY, int patchSize, int searchGap)
{
    const int margin = WindowMargin(patchSize, searchGap);
    WorkWindow window;
    window.originX = minX - margin;
    window.originY = minY - margin;
    window.width = (maxX - minX) + 2 * margin;
    window.height = (maxY - minY) + 2 * margin;
    return window;
}
