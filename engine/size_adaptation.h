// SPDX-License-Identifier: MIT
#pragma once

// Patch edge and search gap for a later choice of priority p in a pass whose
// first choice had priority ref: scaled down in proportion, not below the
// floors min(P, 7) and min(G, 3).
void AdaptSizes(int P, int G, double p, double ref, int& adaptedP, int& adaptedG);
