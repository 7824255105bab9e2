// SPDX-License-Identifier: MIT
// The exemplar search: in a square ring around the search centre, the Source
// patch whose sampled pixels best match the known pixels of the target patch.
#pragma once

#include "engine/inpaint_job.h"

#include <cstdint>

constexpr double NoMatchCost = 3000000.0;

// trunc(s / 32 + 0.5), at least 1: 1 up to s = 47, 4 from 112.
int SearchStepFor(int patchSize);

// Fills TargetPlanes for the patch of edge s around (x, y) at the sampled
// positions; returns the number of known sampled positions.
int LoadTarget(int x, int y, int s, const uint8_t* colourBuffer, const uint8_t* maskBuffer, int bytesPerPixel,
               int width, int searchStep);

struct PatchComparison {
    double cost = NoMatchCost; // mean absolute difference per channel over the overlap
    int overlap = 0;           // sampled positions known in the target and Source in the candidate
};

// Compares TargetPlanes with CandidatePlanes at the sampled positions.
PatchComparison PatchCost(int s, int bytesPerPixel, int searchStep);

// Tests the candidate centred on (u, v); a Source candidate that covers every
// known target position and costs strictly less than bestCost becomes the best.
void TryCandidate(bool& found, double& bestCost, int u, int v, int s, int width, int bytesPerPixel,
                  int targetKnownCount, const uint8_t* maskBuffer, const uint8_t* colourBuffer, int searchStep);

// The search centre for (x, y): the point itself in the first pass, later the
// InitialFront position nearest by city-block distance (the earliest among equals).
WindowPoint SearchCentre(int x, int y, bool firstPass);

// Tries the ring of candidates around (cx, cy) of outer radius s + g, without
// those nearer than g in both directions, in four strips. TargetPlanes must be
// loaded. Returns whether a candidate was accepted; the winner is left in
// BestMatch and ExemplarPlanes.
bool SearchExemplar(int cx, int cy, int s, int g, int targetKnownCount, const uint8_t* colourBuffer,
                    const uint8_t* maskBuffer, int bytesPerPixel, int width, int searchStep);
