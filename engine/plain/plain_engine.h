// SPDX-License-Identifier: MIT
// The plain engine: every step that has a fast form, written the plain way,
// with the fast step's name and signature. It runs through the same driver
// as the fast engine, so the tests and the benchmarks can set each fast step,
// and the whole engine, against it. Never linked into the programs.
#pragma once

#include "engine/inpaint_job.h"
#include "engine/job_scratch.h"
#include "engine/scan_rectangle.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plain {

// Hole and Source pixels counted, and Source pixels copied, with one accessor
// call per pixel.
ScanCounts CountScanRectangle(const InpaintJob& job);
void CopySourcePixels(const InpaintJob& job, int bytesPerPixel);

// The window filled from the bitmaps, written back and promoted, one accessor
// call per pixel.
void PrepareWindow(WorkWindow& window, const PictureView& picture);
void WriteBackWindow(const WorkWindow& window, const PictureView& picture);
void PromoteFilledCodes(int x0, int x1, int y0, int y1, FIBITMAP* maskImage);

// Neighbour averaging with one accessor call per pixel read, in doubles.
void FillWholeRegion(const PictureView& picture, int minX, int maxX, int minY, int maxY);

// The front built by looking at every pixel of the box grown by one.
void BuildFront(const WindowView& window, int minX, int maxX, int minY, int maxY, int colourType, bool firstPass,
                JobScratch& scratch);

struct FrontSelection {
    int index = 0;   // the point to fill next; meaningless when FillFront is empty
    int removed = 0; // points swept out because no hole neighbour was left
};

// Sweeps FillFront from the back, erasing points without hole neighbours,
// and picks the highest priority (the later point on ties, index 0 when no
// priority is above 0).
FrontSelection SelectNext(const uint8_t* maskBuffer, int width);

// Hands out the points of FillFront by SelectNext, erasing each from the front.
class FrontQueue {
public:
    void Start() { m_removed = 0; }
    bool Next(const uint8_t* maskBuffer, int width, GrowPoint& point);
    std::size_t Removed() const { return m_removed; }

private:
    std::size_t m_removed = 0;
};

// The nearest initial front position by a scan of the whole front.
class InitialFrontIndex {
public:
    explicit InitialFrontIndex(const std::vector<WindowPoint>& points)
        : m_points(points)
    {
    }
    WindowPoint Nearest(int x, int y) const;

private:
    const std::vector<WindowPoint>& m_points;
};

// The candidate under test, loaded in full for every candidate.
extern PatchPlanes CandidatePlanes;

struct PatchComparison {
    double cost = 3000000.0;
    int overlap = 0;
};

// Compares TargetPlanes with CandidatePlanes at the sampled positions.
PatchComparison PatchCost(int s, int bytesPerPixel, int searchStep);

// Fills TargetPlanes for the patch around (x, y) at the sampled positions.
int LoadTarget(const WindowView& window, int x, int y, int s, int searchStep, JobScratch& scratch);

// Loads every candidate of the ring into CandidatePlanes, in the order of
// trial, and keeps the first of the lowest cost.
bool SearchExemplar(const WindowView& window, int cx, int cy, int s, int g, int targetKnownCount, int searchStep,
                    JobScratch& scratch);

InpaintOutcome InpaintRegion(InpaintJob job);

} // namespace plain
