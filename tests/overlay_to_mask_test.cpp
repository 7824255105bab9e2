// SPDX-License-Identifier: MIT
#include "kernels/pixel_access.h"
#include "mask/brush_colours.h"
#include "mask/overlay_buffer.h"
#include "mask/overlay_to_mask.h"
#include "picture/bitmap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// An overlay drawn from text rows, top row first: 'h' the removal colour,
// 'o' the outline colour, 'g' the guide colour, 'x' RGB(255, 125, 124),
// anything else black.
std::vector<uint8_t> DrawOverlay(const std::vector<std::string>& rows)
{
    const int width = static_cast<int>(rows[0].size());
    const std::size_t stride = OverlayRowStride(width);
    std::vector<uint8_t> buffer(stride * rows.size(), 0);
    for (std::size_t y = 0; y < rows.size(); ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* pixel = buffer.data() + y * stride + 3 * static_cast<std::size_t>(x);
            uint32_t colour = 0;
            switch (rows[y][static_cast<std::size_t>(x)]) {
            case 'h': colour = HoleColour; break;
            case 'o': colour = OutlineColour; break;
            case 'g': colour = GuideColour; break;
            case 'x': colour = HoleColour - 0x010000; break;
            default: break;
            }
            pixel[0] = BlueOf(colour);
            pixel[1] = GreenOf(colour);
            pixel[2] = RedOf(colour);
        }
    }
    return buffer;
}

struct Converted {
    BitmapPtr mask;
    InpaintJob job;
    std::vector<uint8_t> guides;
    int width = 0;
    int height = 0;

    // The code at column x, row y counted from the top.
    int Code(int x, int y) const { return ReadMaskValue(mask.get(), x, height - 1 - y); }
};

Converted Convert(const std::vector<std::string>& rows, int patchSize = 32)
{
    Converted result;
    result.width = static_cast<int>(rows[0].size());
    result.height = static_cast<int>(rows.size());
    result.mask.reset(FreeImage_Allocate(result.width, result.height, 8));
    const std::vector<uint8_t> overlay = DrawOverlay(rows);
    result.job = OverlayToMask(overlay.data(), result.width, result.height, result.mask.get(), patchSize, false,
                               nullptr, [](const std::string&) { ADD_FAILURE() << "no message expected"; },
                               &result.guides);
    return result;
}

// The codes of every pixel, rows from the top.
std::vector<std::vector<int>> CodesOf(const Converted& converted)
{
    std::vector<std::vector<int>> codes(static_cast<std::size_t>(converted.height));
    for (int y = 0; y < converted.height; ++y)
        for (int x = 0; x < converted.width; ++x)
            codes[static_cast<std::size_t>(y)].push_back(converted.Code(x, y));
    return codes;
}

// The guide map drawn back as text rows, top row first: 'g' on a guide pixel.
std::vector<std::string> GuideRows(const Converted& converted)
{
    std::vector<std::string> rows(static_cast<std::size_t>(converted.height),
                                  std::string(static_cast<std::size_t>(converted.width), '.'));
    if (converted.guides.empty())
        return rows;
    EXPECT_EQ(converted.guides.size(), static_cast<std::size_t>(converted.width * converted.height));
    for (int y = 0; y < converted.height; ++y)
        for (int x = 0; x < converted.width; ++x)
            if (converted.guides[static_cast<std::size_t>((converted.height - 1 - y) * converted.width + x)] != 0)
                rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = 'g';
    return rows;
}

// Only the guide pixels of rows, the rest blank.
std::vector<std::string> GuidesOnly(std::vector<std::string> rows)
{
    for (std::string& row : rows)
        for (char& pixel : row)
            pixel = pixel == 'g' ? 'g' : '.';
    return rows;
}

void ExpectCodes(const Converted& converted, const std::vector<std::vector<int>>& expected)
{
    for (int y = 0; y < converted.height; ++y)
        for (int x = 0; x < converted.width; ++x)
            EXPECT_EQ(converted.Code(x, y), expected[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)])
                << "at column " << x << ", row " << y << " from the top";
}

void ExpectScan(const InpaintJob& job, int minX, int maxX, int minY, int maxY)
{
    EXPECT_EQ(job.scanMinX, minX);
    EXPECT_EQ(job.scanMaxX, maxX);
    EXPECT_EQ(job.scanMinY, minY);
    EXPECT_EQ(job.scanMaxY, maxY);
}

} // namespace

TEST(OverlayToMask, RemovalStrokesAloneLeaveEverythingElseSourceAndFlipTheScanRows)
{
    std::vector<std::string> rows(100, ".......");
    for (int y = 10; y <= 20; ++y)
        rows[static_cast<std::size_t>(y)] = "..hhh..";
    BitmapPtr target(FreeImage_Allocate(7, 100, 24));
    BitmapPtr mask(FreeImage_Allocate(7, 100, 8));
    const std::vector<uint8_t> overlay = DrawOverlay(rows);
    const InpaintJob job = OverlayToMask(overlay.data(), 7, 100, mask.get(), 31, true, target.get(), {});

    ExpectScan(job, 2, 4, 79, 89);
    EXPECT_EQ(job.patchSize, 31);
    EXPECT_EQ(job.searchGap, 15);
    EXPECT_EQ(job.imageWidth, 7);
    EXPECT_EQ(job.imageHeight, 100);
    EXPECT_EQ(job.targetImage, target.get());
    EXPECT_EQ(job.sourceImage, target.get());
    EXPECT_EQ(job.maskImage, mask.get());
    EXPECT_EQ(job.smoothSeam, 1);
    for (int line = 0; line < 100; ++line)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(ReadMaskValue(mask.get(), x, line), line >= 79 && line <= 89 && x >= 2 && x <= 4 ? 127 : 255);
}

TEST(OverlayToMask, MarksOnTheTopRowAndOneRowHighStayInsideThePicture)
{
    const Converted top = Convert({".h..", "....", "...."});
    ExpectScan(top.job, 1, 1, 2, 2);
    EXPECT_EQ(ReadMaskValue(top.mask.get(), 1, 2), 127);

    const Converted thin = Convert({"....", "hhhh", "....", "....", "...."});
    ExpectScan(thin.job, 0, 3, 3, 3);
}

TEST(OverlayToMask, OutlinedRowFillsBetweenOutlineAndHoleFromBothEnds)
{
    const Converted converted = Convert({
        "..........",
        "..........",
        ".o..hh..o.",
        "..........",
    });
    const std::vector<int> zeros(10, 0);
    ExpectCodes(converted, {zeros, zeros, {0, 255, 255, 255, 127, 127, 255, 255, 255, 0}, zeros});
    ExpectScan(converted.job, 4, 5, 1, 1);
}

TEST(OverlayToMask, ColumnsReachFromSourceDownToTheHole)
{
    const Converted converted = Convert({
        ".....",
        ".ooo.",
        ".o.o.",
        ".....",
        "..h..",
        ".....",
    });
    ExpectCodes(converted, {
                               {0, 0, 0, 0, 0},
                               {0, 255, 255, 255, 0},
                               {0, 255, 255, 255, 0},
                               {0, 0, 255, 0, 0},
                               {0, 0, 127, 0, 0},
                               {0, 0, 0, 0, 0},
                           });
}

TEST(OverlayToMask, SourceHangingFromUnmarkedPixelsOntoTheHoleIsTakenBack)
{
    const Converted converted = Convert({
        "o....",
        ".o.o.",
        ".o.o.",
        ".oho.",
    });
    ExpectCodes(converted, {
                               {255, 0, 0, 0, 0},
                               {0, 255, 0, 255, 0},
                               {0, 255, 0, 255, 0},
                               {0, 255, 127, 255, 0},
                           });
}

TEST(OverlayToMask, OutlineWithoutRemovalGivesSourceInsideAndAnEmptyScanRectangle)
{
    const Converted converted = Convert({
        "........",
        ".oooooo.",
        ".o....o.",
        ".o....o.",
        ".oooooo.",
        "........",
    });
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(converted.Code(x, y), x >= 1 && x <= 6 && y >= 1 && y <= 4 ? 255 : 0) << x << ", " << y;
    ExpectScan(converted.job, 8, 0, 5, -1);
}

TEST(OverlayToMask, OutlineRunWithNothingBeyondItStaysExcluded)
{
    const Converted converted = Convert({"ooo....", "...h..."});
    // Row 0: the run opened after the last outline pixel never closes.
    for (int x = 3; x < 7; ++x)
        EXPECT_EQ(converted.Code(x, 0), 0) << x;
    EXPECT_EQ(converted.Code(3, 1), 127);
}

TEST(OverlayToMask, NearMissColoursCountAsUnmarked)
{
    const Converted converted = Convert({"x..", "..."});
    EXPECT_EQ(converted.Code(0, 0), 255);
    ExpectScan(converted.job, 3, 0, 1, -1);
}

TEST(OverlayToMask, MissingOverlayIsReportedAndLeavesNothingToFill)
{
    BitmapPtr mask(FreeImage_Allocate(3, 2, 8));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            WriteMaskValue(mask.get(), x, y, x == 1 && y == 0 ? MaskHole : MaskExcluded);
    std::vector<std::string> messages;
    const InpaintJob job = OverlayToMask(nullptr, 3, 2, mask.get(), 10, false, nullptr,
                                         [&](const std::string& message) { messages.push_back(message); });
    EXPECT_EQ(messages, std::vector<std::string>{"Wo sind meine Gummiebaerchen?"});
    ExpectScan(job, 3, 0, 1, -1);
    // The old codes were kept, made Source where not a hole, and flipped.
    EXPECT_EQ(ReadMaskValue(mask.get(), 1, 1), 127);
    EXPECT_EQ(ReadMaskValue(mask.get(), 1, 0), 255);
}

TEST(OverlayBuffer, OddWidthsKeepEveryRowInPlace)
{
    for (int width = 1; width <= 7; ++width) {
        SCOPED_TRACE("width " + std::to_string(width));
        const int height = 3;
        BitmapPtr strokes(FreeImage_Allocate(width, height, 24));
        const int hole[4] = {BlueOf(HoleColour), GreenOf(HoleColour), RedOf(HoleColour), 0};
        // FreeImage lines count from the bottom: line 0 is the last screen row.
        WritePixel(strokes.get(), width - 1, 1, hole, 3);
        WritePixel(strokes.get(), 0, 0, hole, 3);

        const std::vector<uint8_t> buffer = OverlayBufferFromBitmap(strokes.get());
        EXPECT_EQ(OverlayRowStride(width), static_cast<std::size_t>(3 * width + width % 4));
        EXPECT_EQ(OverlayRowStride(width) % 4, 0u);
        ASSERT_EQ(buffer.size(), OverlayRowStride(width) * height);

        BitmapPtr mask(FreeImage_Allocate(width, height, 8));
        const InpaintJob job = OverlayToMask(buffer.data(), width, height, mask.get(), 8, false, nullptr, {});
        for (int line = 0; line < height; ++line)
            for (int x = 0; x < width; ++x) {
                const bool marked = (x == width - 1 && line == 1) || (x == 0 && line == 0);
                EXPECT_EQ(ReadMaskValue(mask.get(), x, line), marked ? 127 : 255) << x << ", " << line;
            }
        ExpectScan(job, 0, width - 1, 0, 1);
    }
}

TEST(OverlayGuides, GuidePixelsOnTheHoleAreHoleAndTheOthersMarkNothing)
{
    // A guide across the stroke, and two guides crossing inside it: every
    // pixel the blue replaced is hole, the guide beyond the stroke is not.
    const std::vector<std::string> rows = {
        "...g.......",
        "...g...g...",
        ".hhghhhghh.",
        ".hhghgggggg",
        ".hhghhhghh.",
        "...g.......",
    };
    const Converted converted = Convert(rows);
    const int S = 255;
    const int H = 127;
    ExpectCodes(converted, {
                               {S, S, S, S, S, S, S, S, S, S, S},
                               {S, S, S, S, S, S, S, S, S, S, S},
                               {S, H, H, H, H, H, H, H, H, H, S},
                               {S, H, H, H, H, H, H, H, H, H, S},
                               {S, H, H, H, H, H, H, H, H, H, S},
                               {S, S, S, S, S, S, S, S, S, S, S},
                           });
    ExpectScan(converted.job, 1, 9, 1, 3);
    EXPECT_EQ(GuideRows(converted), GuidesOnly(rows));
}

TEST(OverlayGuides, GuideAloneOrBesideTheStrokeMarksNothing)
{
    const Converted alone = Convert({"g....", ".g...", "..ggg"});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(alone.Code(x, y), 255) << x << ", " << y;
    ExpectScan(alone.job, 5, 0, 2, -1);
    EXPECT_EQ(GuideRows(alone), std::vector<std::string>({"g....", ".g...", "..ggg"}));

    // Red on one side only: the guide runs along the stroke, not across it.
    const Converted beside = Convert({"hhhh", "gggg", "...."});
    EXPECT_EQ(CodesOf(beside), std::vector<std::vector<int>>({{127, 127, 127, 127}, {255, 255, 255, 255},
                                                              {255, 255, 255, 255}}));
    ExpectScan(beside.job, 0, 3, 2, 2);

    const Converted none = Convert({"h..", "..."});
    EXPECT_TRUE(none.guides.empty());
}

TEST(OverlayGuides, GuideCrossingAnOutlineKeepsItsSourceArea)
{
    // The guide replaced an outline pixel on each side of the box; the area
    // it encloses is the one the outline alone gives.
    const std::vector<std::string> crossed = {
        "...........",
        ".ooooooooo.",
        ".o.......o.",
        "ggggggggggg",
        ".o..hhh..o.",
        ".ooooooooo.",
    };
    const std::vector<std::string> closed = {
        "...........",
        ".ooooooooo.",
        ".o.......o.",
        ".o.......o.",
        ".o..hhh..o.",
        ".ooooooooo.",
    };
    const Converted converted = Convert(crossed);
    EXPECT_EQ(CodesOf(converted), CodesOf(Convert(closed)));
    EXPECT_EQ(converted.Code(0, 3), 0);
    EXPECT_EQ(converted.Code(5, 3), 255);
    ExpectScan(converted.job, 4, 6, 1, 1);
    EXPECT_EQ(GuideRows(converted), GuidesOnly(crossed));
}

TEST(OverlayGuides, GuidesTouchingThePictureEdgeStayInside)
{
    // A guide from the top edge through a stroke that reaches the left,
    // bottom and right edges, and one down the right edge into the corner.
    const std::vector<std::string> rows = {
        "..g...g",
        "hhghhhg",
        "hhghhgh",
        "hhghghg",
    };
    const Converted converted = Convert(rows);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x) {
            // The edge is neither colour: a guide pixel there is hole only when
            // red lies on both sides along some line through it.
            const bool hole = y > 0 && !(x == 6 && y != 2);
            EXPECT_EQ(converted.Code(x, y), hole ? 127 : 255) << x << ", " << y;
        }
    ExpectScan(converted.job, 0, 6, 0, 2);
    EXPECT_EQ(GuideRows(converted), GuidesOnly(rows));
}
