// SPDX-License-Identifier: MIT
#include "engine/size_adaptation.h"

#include <algorithm>
#include <cmath>

void AdaptSizes(int P, int G, double p, double ref, int& adaptedP, int& adaptedG)
{
    const int floorP = std::min(P, 7);
    const int floorG = std::min(G, 3);
    if (ref == 0.0) {
        adaptedP = floorP;
        adaptedG = floorG;
        return;
    }
    if (p == ref) {
        adaptedP = P;
        adaptedG = G;
        return;
    }
    adaptedP = static_cast<int>(std::trunc(P * p / ref));
    adaptedG = static_cast<int>(std::trunc(G * p / ref));
    // p never exceeds ref; the upper bound only keeps the patch tables safe.
    adaptedP = std::clamp(adaptedP, floorP, P);
    adaptedG = std::clamp(adaptedG, floorG, G);
}
