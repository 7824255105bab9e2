// SPDX-License-Identifier: MIT
// The exemplar search the plain way: every candidate's patch is loaded into
// CandidatePlanes and compared in full with PatchCost; the search centre is
// found by a scan of the whole initial front.
#include "engine/plain/plain_engine.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace plain {

PatchPlanes CandidatePlanes;

namespace {

// The best cost a search starts from; no real cost reaches it.
constexpr double NoMatchCost = 3000000.0;

// Beyond this distance a position is never a search centre.
constexpr int FarDistance = 30000;

// Loads the sampled positions of the patch of edge s around (x, y); a
// position is flagged where accept(code) holds. Returns the flagged count.
template <typename Accept>
int LoadPlanes(PatchPlanes& planes, const WindowView& window, int x, int y, int s, int searchStep, Accept accept)
{
    const int half = s / 2;
    int flagged = 0;
    for (int i = 0; i < s; i += searchStep) {
        for (int j = 0; j < s; j += searchStep) {
            const std::size_t index = static_cast<std::size_t>(y - half + j) * window.width + (x - half + i);
            if (accept(window.maskBuffer[index])) {
                const uint8_t* pixel = window.colourBuffer + index * window.bytesPerPixel;
                planes.plane[0][i][j] = 1;
                // Planes past the pixel's bytes are zeroed, not read from the next pixel.
                for (int k = 0; k < 4; ++k)
                    planes.plane[1 + k][i][j] = k < window.bytesPerPixel ? pixel[k] : 0;
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

// Tests the candidate centred on (u, v); when it wins, it becomes BestMatch
// and ExemplarPlanes.
void TryCandidate(const WindowView& window, bool& found, double& bestCost, int u, int v, int s, int targetKnownCount,
                  int searchStep)
{
    if (window.maskBuffer[static_cast<std::size_t>(v) * window.width + u] != MaskSource)
        return;
    LoadPlanes(CandidatePlanes, window, u, v, s, searchStep, [](int code) { return code == MaskSource; });
    const PatchComparison comparison = PatchCost(s, window.bytesPerPixel, searchStep);
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

int LoadTarget(const WindowView& window, int x, int y, int s, int searchStep, JobScratch& /*scratch*/)
{
    return LoadPlanes(TargetPlanes, window, x, y, s, searchStep, [](int code) { return IsKnownCode(code); });
}

bool SearchExemplar(const WindowView& window, int cx, int cy, int s, int g, int targetKnownCount, int searchStep,
                    JobScratch& /*scratch*/)
{
    bool found = false;
    double bestCost = NoMatchCost;
    const int outer = s + g;
    auto tryAt = [&](int u, int v) { TryCandidate(window, found, bestCost, u, v, s, targetKnownCount, searchStep); };
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

WindowPoint InitialFrontIndex::Nearest(int x, int y) const
{
    WindowPoint centre{x, y};
    int nearest = FarDistance;
    for (const WindowPoint& p : m_points) {
        const int distance = std::abs(p.x - x) + std::abs(p.y - y);
        if (distance < nearest) {
            nearest = distance;
            centre = p;
        }
    }
    return centre;
}

} // namespace plain
