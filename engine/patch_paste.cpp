// SPDX-License-Identifier: MIT
#include "engine/patch_paste.h"

#include "engine/inpaint_job.h"
#include "kernels/parallel_for.h"
#include "kernels/pixel_access.h"
#include "kernels/rounding.h"

#include <atomic>
#include <cstddef>

namespace {

// The search sampled the exemplar only every searchStep pixels; reload every
// position. Only Source pixels are usable, as in the search.
void RefreshExemplar(const WindowView& window, int s)
{
    const uint8_t* const colourBuffer = window.colourBuffer;
    const uint8_t* const maskBuffer = window.maskBuffer;
    const int bytesPerPixel = window.bytesPerPixel;
    const int width = window.width;
    const int half = s / 2;
    const WindowPoint match = BestMatch;
    ParallelFor(0, s, [=](int j) {
        for (int i = 0; i < s; ++i) {
            const std::size_t index = static_cast<std::size_t>(match.y - half + j) * width + (match.x - half + i);
            if (maskBuffer[index] == MaskSource) {
                const uint8_t* pixel = colourBuffer + index * bytesPerPixel;
                ExemplarPlanes.plane[0][i][j] = 1;
                for (int k = 0; k < 4; ++k)
                    ExemplarPlanes.plane[1 + k][i][j] = k < bytesPerPixel ? pixel[k] : 0;
            } else {
                for (int p = 0; p < 5; ++p)
                    ExemplarPlanes.plane[p][i][j] = 0;
            }
        }
    }, s);
}

} // namespace

int PastePatch(const WindowView& window, int x, int y, int s, bool smoothSeam, int searchStep)
{
    uint8_t* const colourBuffer = window.colourBuffer;
    uint8_t* const maskBuffer = window.maskBuffer;
    const int bytesPerPixel = window.bytesPerPixel;
    const int width = window.width;
    const double factor = 4.0 / static_cast<double>(s * s);
    std::atomic<int> filled{0};

    if (searchStep > 1)
        RefreshExemplar(window, s);

    const int half = s / 2;
    ParallelFor(0, s, [=, &filled](int j) {
        const int v = y - half + j;
        int lineFilled = 0;
        for (int i = 0; i < s; ++i) {
            if (ExemplarPlanes.plane[0][i][j] == 0)
                continue;
            const int u = x - half + i;
            const std::size_t index = static_cast<std::size_t>(v) * width + u;
            uint8_t* pixel = colourBuffer + index * bytesPerPixel;
            const int code = maskBuffer[index];
            if (code == MaskHole) {
                for (int k = 0; k < bytesPerPixel; ++k)
                    pixel[k] = static_cast<uint8_t>(ExemplarPlanes.plane[1 + k][i][j] & 0xFF);
                maskBuffer[index] = MaskFilled;
                ++lineFilled;
            } else if (code == MaskFilled || (code == MaskSource && smoothSeam)) {
                const int du = u - x;
                const int dv = v - y;
                // The weight rises from 0 at the centre to 1 on the inscribed circle.
                const double weight = (du * du + dv * dv) * factor;
                if (weight >= 1.0)
                    continue;
                for (int k = 0; k < bytesPerPixel; ++k)
                    pixel[k] = static_cast<uint8_t>(
                        RoundToInt(weight * pixel[k] + (1.0 - weight) * ExemplarPlanes.plane[1 + k][i][j]));
            }
        }
        if (lineFilled != 0)
            filled.fetch_add(lineFilled, std::memory_order_relaxed);
    }, s);
    return filled.load();
}
