// SPDX-License-Identifier: MIT
// The exemplar search as first written: every candidate's patch is loaded
// into CandidatePlanes and compared in full.
#include "reference/literal_engine.h"

#include "engine/exemplar_search.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace reference {

PatchPlanes CandidatePlanes;

namespace {

// The best cost a search starts from; no real cost reaches it.
constexpr double NoMatchCost = 3000000.0;

// Loads the sampled positions of the patch of edge s around (x, y); a
// position is flagged where accept(code) holds. Returns the flagged count.
template <typename Accept>
int LoadPlanes(PatchPlanes& planes, int x, int y, int s, const uint8_t* colourBuffer, const uint8_t* maskBuffer,
               int bytesPerPixel, int width, int searchStep, Accept accept)
{
    const int half = s / 2;
    int flagged = 0;
    for (int i = 0; i < s; i += searchStep) {
        for (int j = 0; j < s; j += searchStep) {
            const std::size_t index = static_cast<std::size_t>(y - half + j) * width + (x - half + i);
            if (accept(maskBuffer[index])) {
                const uint8_t* pixel = colourBuffer + index * bytesPerPixel;
                planes.plane[0][i][j] = 1;
                // Planes past the pixel's bytes are zeroed, not read from the next pixel.
                for (int k = 0; k < 4; ++k)
                    planes.plane[1 + k][i][j] = k < bytesPerPixel ? pixel[k] : 0;
                ++flagged;
            } else {
                for (int p = 0; p < 5; ++p)
                    planes.plane[p][i][j] = 0;
            }
        }
    }
    return flagged;
}

void CopyPlanes(const PatchPlanes& from, PatchPlanes& to, int s)
{
    for (int p = 0; p < 5; ++p)
        for (int i = 0; i < s; ++i)
            std::memcpy(to.plane[p][i], from.plane[p][i], sizeof(int32_t) * static_cast<std::size_t>(s));
}

} // namespace



PatchComparison PatchCost(int s, int bytesPerPixel, int searchStep)
{
    PatchComparison result;
    int sum = 0;
    for (int i = 0; i < s; i += searchStep) {
        for (int j = 0; j < s; j += searchStep) {
            if (TargetPlanes.plane[0][i][j] * CandidatePlanes.plane[0][i][j] == 0)
                continue;
            ++result.overlap;
            for (int p = 1; p <= bytesPerPixel; ++p)
                sum += std::abs(TargetPlanes.plane[p][i][j] - CandidatePlanes.plane[p][i][j]);
        }
    }
    if (result.overlap > 0)
        result.cost = static_cast<double>(sum) / static_cast<double>(result.overlap * bytesPerPixel);
    return result;
}

void TryCandidate(bool& found, double& bestCost, int u, int v, int s, int width, int bytesPerPixel,
                  int targetKnownCount, const uint8_t* maskBuffer, const uint8_t* colourBuffer, int searchStep)
{
    if (maskBuffer[static_cast<std::size_t>(v) * width + u] != MaskSource)
        return;
    LoadPlanes(CandidatePlanes, u, v, s, colourBuffer, maskBuffer, bytesPerPixel, width, searchStep,
               [](int code) { return code == MaskSource; });
    const PatchComparison comparison = PatchCost(s, bytesPerPixel, searchStep);
    // Every known target position must face a Source pixel.
    if (comparison.overlap != targetKnownCount)
        return;
    if (comparison.cost < bestCost) {
        bestCost = comparison.cost;
        found = true;
        BestMatch = {u, v};
        CopyPlanes(CandidatePlanes, ExemplarPlanes, s);
    }
}


bool SearchExemplar(int cx, int cy, int s, int g, int targetKnownCount, const uint8_t* colourBuffer,
                    const uint8_t* maskBuffer, int bytesPerPixel, int width, int searchStep)
{
    bool found = false;
    double bestCost = NoMatchCost;
    const int outer = s + g;
    auto tryAt = [&](int u, int v) {
        TryCandidate(found, bestCost, u, v, s, width, bytesPerPixel, targetKnownCount, maskBuffer, colourBuffer,
                     searchStep);
    };
    // The strips share their border lines; a second try of a candidate never
    // wins, since winning needs a strictly lower cost.
    for (int u = cx - outer; u <= cx + outer; ++u)
        for (int v = cy - outer; v <= cy - g; ++v)
            tryAt(u, v);
    for (int u = cx - outer; u <= cx + outer; ++u)
        for (int v = cy + g; v <= cy + outer; ++v)
            tryAt(u, v);
    for (int v = cy - g; v <= cy + g; ++v)
        for (int u = cx - outer; u <= cx - g; ++u)
            tryAt(u, v);
    for (int v = cy - g; v <= cy + g; ++v)
        for (int u = cx + g; u <= cx + outer; ++u)
            tryAt(u, v);
    return found;
}

WindowPoint SearchCentre(int x, int y, bool firstPass)
{
    WindowPoint centre{x, y};
    if (firstPass)
        return centre;
    int nearest = 30000;
    for (const WindowPoint& p : InitialFront) {
        const int distance = std::abs(p.x - x) + std::abs(p.y - y);
        if (distance < nearest) {
            nearest = distance;
            centre = p;
        }
    }
    return centre;
}

} // namespace reference
