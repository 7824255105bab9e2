// SPDX-License-Identifier: MIT
// The inpainting engine's shared data: the job record, the per-pixel mask
// codes, the working window and the process-wide patch tables and front arrays.
#pragma once

#include <FreeImage.h>

#include <atomic>
#include <cstdint>
#include <vector>

struct FillRecord;

// Lets a caller follow a job and stop it; every member may stay null.
// report runs now and then on the engine's thread with the hole pixels
// filled so far and the hole's size; stop, set from any thread, ends the
// patch work at its next front point.
struct InpaintProgress {
    void (*report)(void* context, int64_t filled, int64_t total) = nullptr;
    void* context = nullptr;
    const std::atomic<bool>* stop = nullptr;
};

enum class InpaintOutcome {
    Filled,    // every hole pixel is filled and coded MaskSource
    Cancelled, // stopped on request: the mask is as it was, the hole not filled
};

// One job per Paint command, passed by value; the engine never writes back
// into the caller's record. Coordinates count columns from the left and
// lines from the bottom, as FreeImage's pixel accessors do.
struct InpaintJob {
    int32_t patchSize = 0;  // edge of a patch; the engine clamps it to 3..128
    int32_t searchGap = 0;  // least distance of a candidate from the search centre; raised to 1
    int32_t scanMinX = 0;   // scan rectangle, inclusive; must hold every hole pixel
    int32_t scanMaxX = -1;
    int32_t scanMinY = 0;
    int32_t scanMaxY = -1;
    int32_t imageWidth = 0;
    int32_t imageHeight = 0;
    FIBITMAP* targetImage = nullptr;  // receives the result
    FIBITMAP* sourceImage = nullptr;  // gives depth and colour type; its Source pixels seed the target
    FIBITMAP* maskImage = nullptr;    // 8 bits per pixel, one MaskCode each
    uint8_t smoothSeam = 0;           // 1: pasted patches also blend into Source pixels
    InpaintProgress progress;         // none by default
    FillRecord* record = nullptr;     // when set, receives every write of the fill, in order
};

// Per-pixel codes of maskImage and maskBuffer.
enum MaskCode : uint8_t {
    MaskExcluded = 0,   // never filled, never copied; its colour bytes are zero in the window
    MaskHole = 127,     // to be filled
    MaskOutline = 200,  // source-area outline stroke; neither known nor hole
    MaskFilled = 244,   // filled by a pasted patch in this job: known, never copied
    MaskDiffused = 254, // filled by neighbour averaging, promoted within the same fill
    MaskSource = 255,   // known, may be copied
};

// Codes above this are known (244, 254 and 255).
constexpr int KnownThreshold = 220;

constexpr bool IsKnownCode(int code) { return code > KnownThreshold; }

// Known but not yet Source: filled during this job (244 and 254).
constexpr bool IsFilledCode(int code) { return IsKnownCode(code) && code != MaskSource; }

constexpr int MinPatchSize = 3;
constexpr int MaxPatchSize = 128;

// The rectangle of the picture the patch-by-patch fill works on, in two
// plain buffers; window column c is image column originX + c.
struct WorkWindow {
    int originX = 0;
    int originY = 0;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> maskBuffer;   // width * height codes, row-major, then SearchReadPadding bytes
    std::vector<uint8_t> colourBuffer; // width * height * bytesPerPixel bytes, row-major, then the padding
};

// The window's buffers and shape, as the steps working on them take them.
struct WindowView {
    uint8_t* maskBuffer = nullptr;
    uint8_t* colourBuffer = nullptr;
    int width = 0;
    int height = 0;
    int bytesPerPixel = 0;
};

// The job's bitmaps, as the steps working on the whole picture take them.
struct PictureView {
    FIBITMAP* targetImage = nullptr;
    FIBITMAP* maskImage = nullptr;
    int imageWidth = 0;
    int imageHeight = 0;
    int bytesPerPixel = 0;
    FillRecord* record = nullptr; // when set, neighbour averaging adds the pixels it fills
};

// Five planes of 128 x 128 entries addressed [plane][i][j], i the column
// offset within the patch, j the row offset. Plane 0 flags a usable pixel,
// planes 1 to 4 hold its bytes 0 to 3; all five are 0 where the flag is 0.
struct PatchPlanes {
    int32_t plane[5][MaxPatchSize][MaxPatchSize];
};

struct WindowPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const WindowPoint&) const = default;
};

// One point of the fill front; every value is computed once, when the point
// enters the front.
struct GrowPoint {
    int32_t x = 0;
    int32_t y = 0;
    int32_t holeNeighbours = 0; // hole codes among the 8 neighbours, 1 to 6
    double normalY = 0.0;
    double normalX = 0.0;
    double gradientY = 0.0;
    double gradientX = 0.0;
    double priority = 0.0;
};

// The patch around the point being filled (flag: known).
extern PatchPlanes TargetPlanes;
// The best candidate so far.
extern PatchPlanes ExemplarPlanes;
// Window position of the best candidate's centre.
extern WindowPoint BestMatch;

// The current pass's front, in the row-major order of its build.
extern std::vector<GrowPoint> FillFront;
// The first pass's front positions, the search centres of later passes.
extern std::vector<WindowPoint> InitialFront;

struct NeighbourOffset {
    int dx;
    int dy;
};

// The 8-neighbourhood, always visited in this order.
constexpr NeighbourOffset NeighbourOffsets[8] = {
    {-1, 0}, {0, -1}, {+1, 0}, {0, +1}, {-1, +1}, {-1, -1}, {+1, +1}, {+1, -1},
};

// The engine's one entry point: fills the hole pixels of job.maskImage in
// job.targetImage and leaves every filled pixel coded MaskSource. A
// cancelled job may have copied Source pixels into the target's scan
// rectangle but wrote nothing else.
InpaintOutcome InpaintRegion(InpaintJob job);
