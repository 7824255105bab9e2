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

long long WindowMargin(int patchSize, int searchGap)
{
    return static_cast<long long>(patchSize) / 2 + patchSize + static_cast<long long>(searchGap) + 3;
}

bool WindowFitsPicture(int minX, int maxX, int minY, int maxY, int patchSize, int searchGap, int imageWidth,
                       int imageHeight)
{
    const long long margin = WindowMargin(patchSize, searchGap);
    const long long width = static_cast<long long>(maxX) - minX + 2 * margin;
    const long long height = static_cast<long long>(maxY) - minY + 2 * margin;
    const long long picture = std::min(static_cast<long long>(imageWidth) * imageHeight, 1LL << 40);
    const long long budget = 4 * picture + (1LL << 24);
    return width <= budget && height <= budget && width <= budget / height;
}

WorkWindow MakeWorkWindow(int minX, int maxX, int minY, int maxY, int patchSize, int searchGap)
{
    const int margin = static_cast<int>(WindowMargin(patchSize, searchGap));
    WorkWindow window;
    window.originX = minX - margin;
    window.originY = minY - margin;
    window.width = (maxX - minX) + 2 * margin;
    window.height = (maxY - minY) + 2 * margin;
    return window;
}
