// SPDX-License-Identifier: MIT
// The engine as first written, step for step the way its rules read, kept
// only for the tests: every faster part of the product must give exactly
// the bytes these give.
#pragma once

#include "engine/fill_front.h"
#include "engine/inpaint_job.h"

#include <cstdint>

namespace reference {

// The candidate under test, loaded in full for every candidate.
extern PatchPlanes CandidatePlanes;

struct PatchComparison {
    double cost = 3000000.0;
    int overlap = 0;
};

// Compares TargetPlanes with CandidatePlanes at the sampled positions.
PatchComparison PatchCost(int s, int bytesPerPixel, int searchStep);

void TryCandidate(bool& found, double& bestCost, int u, int v, int s, int width, int bytesPerPixel,
                  int targetKnownCount, const uint8_t* maskBuffer, const uint8_t* colourBuffer, int searchStep);

bool SearchExemplar(int cx, int cy, int s, int g, int targetKnownCount, const uint8_t* colourBuffer,
                    const uint8_t* maskBuffer, int bytesPerPixel, int width, int searchStep);

// The point itself in the first pass, later the InitialFront position nearest
// by city-block distance (the earliest among equals) when nearer than 30000.
WindowPoint SearchCentre(int x, int y, bool firstPass);

void PrepareWindow(WorkWindow& window, int imageWidth, int imageHeight, FIBITMAP* maskImage,
                   FIBITMAP* targetImage, int bytesPerPixel);
void WriteBackWindow(const WorkWindow& window, FIBITMAP* targetImage, FIBITMAP* maskImage, int bytesPerPixel,
                     int imageWidth, int imageHeight);
void PromoteFilledCodes(int x0, int x1, int y0, int y1, FIBITMAP* maskImage);

void BuildFront(int minX, int maxX, int minY, int maxY, const uint8_t* colourBuffer, const uint8_t* maskBuffer,
                int width, int bytesPerPixel, int colourType, bool firstPass);

struct FrontSelection {
    int index = 0;   // the point to fill next; meaningless when FillFront is empty
    int removed = 0; // points swept out because no hole neighbour was left
};

// Sweeps FillFront from the back, erasing points without hole neighbours,
// and picks the highest priority (the later point on ties, index 0 when no
// priority is above 0).
FrontSelection SelectNext(const uint8_t* maskBuffer, int width);

void FillWholeRegion(int minX, int maxX, int minY, int maxY, int imageWidth, int imageHeight, int bytesPerPixel,
                     FIBITMAP* targetImage, FIBITMAP* maskImage);

void InpaintRegion(InpaintJob job);

} // namespace reference
