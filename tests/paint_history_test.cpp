// SPDX-License-Identifier: MIT
// The Paint history on its own: which bytes a step keeps and gives back, the
// redo branch and the limits on steps and memory.
#include "canvas/paint_history.h"
#include "canvas/paint_reach.h"
#include "engine/work_window.h"
#include "picture/bitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

BitmapPtr NumberedBitmap(int width, int height, int bitsPerPixel, int seed)
{
    BitmapPtr bitmap(FreeImage_Allocate(width, height, bitsPerPixel));
    for (int y = 0; y < height; ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap.get(), y);
        for (unsigned i = 0; i < FreeImage_GetLine(bitmap.get()); ++i)
            row[i] = static_cast<BYTE>(i * 7 + y * 13 + seed);
    }
    return bitmap;
}

bool SameRows(FIBITMAP* a, FIBITMAP* b)
{
    for (unsigned y = 0; y < FreeImage_GetHeight(a); ++y)
        if (std::memcmp(FreeImage_GetScanLine(a, y), FreeImage_GetScanLine(b, y), FreeImage_GetLine(a)) != 0)
            return false;
    return true;
}

// Writes value into every pixel of rect (top-down) of an 8-bit bitmap.
void Fill(FIBITMAP* bitmap, const QRect& rect, BYTE value)
{
    const int height = static_cast<int>(FreeImage_GetHeight(bitmap));
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        std::memset(FreeImage_GetScanLine(bitmap, height - 1 - y) + rect.left(), value, rect.width());
}

// marked, when set, holds every stroke, as the canvas's strokes rectangle does.
void ExpectStepRoundTrip(const std::optional<QRect>& marked)
{
    BitmapPtr working = NumberedBitmap(40, 30, 24, 1);
    BitmapPtr mask = NumberedBitmap(40, 30, 8, 2);
    QImage overlay(40, 30, QImage::Format_RGB32);
    overlay.fill(Qt::black);
    overlay.setPixel(12, 7, qRgb(255, 0, 0));
    const BitmapPtr workingBefore(FreeImage_Clone(working.get()));
    const BitmapPtr maskBefore(FreeImage_Clone(mask.get()));
    const QImage overlayBefore = overlay.copy();
    const PaintLayers layers{.overlay = &overlay, .marked = marked, .working = working.get(), .mask = mask.get()};

    const QRect rect(10, 5, 8, 6);
    std::optional<CPaintStep> step = CPaintStep::Take(layers, rect, CMaskRuns::Of(mask.get()));
    EXPECT_EQ(step->Rect(), rect);
    ASSERT_TRUE(step);
    // What a Paint does: the rectangle of the picture, all of the mask.
    BYTE* pixel = FreeImage_GetScanLine(working.get(), 30 - 1 - 7) + 3 * 12;
    pixel[0] = static_cast<BYTE>(pixel[0] + 1);
    Fill(mask.get(), QRect(0, 0, 40, 30), 255);
    overlay.fill(Qt::black);
    const BitmapPtr workingAfter(FreeImage_Clone(working.get()));
    const BitmapPtr maskAfter(FreeImage_Clone(mask.get()));
    const QImage overlayAfter = overlay.copy();
    // A stroke drawn after the Paint is dropped by the Undo.
    overlay.setPixel(39, 29, qRgb(0, 255, 0));

    CPaintHistory history;
    history.Push(std::move(*step));
    ASSERT_TRUE(history.Undo(layers));
    EXPECT_TRUE(SameRows(working.get(), workingBefore.get()));
    EXPECT_TRUE(SameRows(mask.get(), maskBefore.get()));
    EXPECT_EQ(overlay, overlayBefore);
    EXPECT_EQ(history.LastRect(), rect | QRect(39, 29, 1, 1));
    EXPECT_FALSE(history.Undo(layers));

    ASSERT_TRUE(history.Redo(layers));
    EXPECT_TRUE(SameRows(working.get(), workingAfter.get()));
    EXPECT_TRUE(SameRows(mask.get(), maskAfter.get()));
    EXPECT_EQ(overlay, overlayAfter) << "Redo leaves no strokes";
    EXPECT_FALSE(history.Redo(layers));
}

TEST(PaintHistory, StepGivesBackTheRectangleAndTheWholeMaskAndSwapsBackOnRedo)
{
    ExpectStepRoundTrip(std::nullopt);
    ExpectStepRoundTrip(QRect(8, 4, 32, 26));
}

TEST(PaintHistory, RegionsOfPackedPixelsAndOfTheEdgesKeepWholeBytes)
{
    for (const int bits : {1, 4, 8, 32}) {
        BitmapPtr bitmap = NumberedBitmap(13, 9, bits, bits);
        const BitmapPtr before(FreeImage_Clone(bitmap.get()));
        // The rectangle reaches out of the picture on two sides.
        CLayerRegion region = CLayerRegion::Of(bitmap.get(), QRect(-3, 5, 9, 10));
        EXPECT_EQ(region.Rect(), QRect(0, 5, 6, 4)) << bits;
        for (int y = 0; y < 4; ++y)
            std::memset(FreeImage_GetScanLine(bitmap.get(), y), 0xA5, FreeImage_GetLine(bitmap.get()));
        region.SwapWith(bitmap.get());
        // Rows 0 to 3 from the bottom are the top-down rows 5 to 8; the bytes
        // right of the region keep the new value.
        const unsigned kept = (6u * bits + 7) / 8;
        for (int y = 0; y < 4; ++y) {
            EXPECT_EQ(std::memcmp(FreeImage_GetScanLine(bitmap.get(), y), FreeImage_GetScanLine(before.get(), y), kept),
                      0)
                << bits;
            if (kept < FreeImage_GetLine(bitmap.get())) {
                EXPECT_EQ(FreeImage_GetScanLine(bitmap.get(), y)[FreeImage_GetLine(bitmap.get()) - 1], 0xA5) << bits;
            }
        }
    }
}

TEST(PaintHistory, NewStepDropsTheRedoBranchAndTheOldestGoBeyondTheLimits)
{
    BitmapPtr working = NumberedBitmap(64, 64, 8, 3);
    const PaintLayers layers{.working = working.get()};
    const auto push = [&](CPaintHistory& history, int value) {
        std::optional<CPaintStep> step = CPaintStep::Take(layers, QRect(0, 0, 64, 64), CMaskRuns());
        ASSERT_TRUE(step);
        history.Push(std::move(*step));
        Fill(working.get(), QRect(0, 0, 64, 64), static_cast<BYTE>(value));
    };
    const auto value = [&] { return FreeImage_GetScanLine(working.get(), 0)[0]; };

    CPaintHistory history;
    Fill(working.get(), QRect(0, 0, 64, 64), 0);
    for (int paint = 1; paint <= 3; ++paint)
        push(history, paint);
    history.Undo(layers);
    history.Undo(layers);
    EXPECT_EQ(value(), 1);
    push(history, 9);
    EXPECT_EQ(history.Steps(), 2u);
    EXPECT_FALSE(history.CanRedo());
    history.Undo(layers);
    history.Undo(layers);
    EXPECT_EQ(value(), 0);

    CPaintHistory many;
    for (int paint = 1; paint <= static_cast<int>(CPaintHistory::MaxSteps) + 5; ++paint)
        push(many, paint);
    EXPECT_EQ(many.Steps(), CPaintHistory::MaxSteps);
    while (many.Undo(layers)) {
    }
    EXPECT_EQ(value(), 5) << "the five oldest steps are gone";
}

TEST(PaintHistory, StepsBeyondTheMemoryLimitAreDroppedButTheNewestStays)
{
    // 12000 x 12000 grey pixels: a whole-picture step of 137 MiB.
    BitmapPtr big(FreeImage_Allocate(12000, 12000, 8));
    ASSERT_TRUE(big);
    const PaintLayers layers{.working = big.get()};
    CPaintHistory history;
    for (int paint = 0; paint < 5; ++paint) {
        std::optional<CPaintStep> step = CPaintStep::Take(layers, QRect(0, 0, 12000, 12000), CMaskRuns());
        ASSERT_TRUE(step);
        history.Push(std::move(*step));
        EXPECT_LE(history.Bytes(), CPaintHistory::MaxBytes);
    }
    EXPECT_EQ(history.Steps(), 3u);
}

TEST(PaintReach, ScanRectangleGrowsByTheWindowMarginAndTurnsTopDown)
{
    InpaintJob job;
    job.patchSize = 9;
    job.searchGap = 4;
    job.imageWidth = 200;
    job.imageHeight = 100;
    job.scanMinX = 50;
    job.scanMaxX = 60;
    job.scanMinY = 40;
    job.scanMaxY = 50;
    const int margin = static_cast<int>(WindowMargin(9, 4));
    EXPECT_EQ(JobReach(job), QRect(QPoint(50 - margin, 49 - margin), QPoint(60 + margin, 59 + margin)));
    job.scanMinX = 1;
    job.scanMinY = 0;
    EXPECT_EQ(JobReach(job).left(), 0);
    EXPECT_EQ(JobReach(job).bottom(), 99);
    job.scanMaxX = 0;
    EXPECT_TRUE(JobReach(job).isEmpty());

    QImage overlay(30, 20, QImage::Format_RGB32);
    overlay.fill(Qt::black);
    EXPECT_TRUE(MarkedBounds(overlay).isEmpty());
    overlay.setPixel(4, 15, qRgb(0, 255, 0));
    overlay.setPixel(21, 3, qRgb(255, 0, 0));
    EXPECT_EQ(MarkedBounds(overlay), QRect(QPoint(4, 3), QPoint(21, 15)));
    // Read only within a rectangle that holds every mark, even one reaching out of the overlay.
    EXPECT_EQ(MarkedBounds(overlay, QRect(QPoint(4, 3), QPoint(21, 15))), QRect(QPoint(4, 3), QPoint(21, 15)));
    EXPECT_EQ(MarkedBounds(overlay, QRect(-6, 2, 40, 30)), QRect(QPoint(4, 3), QPoint(21, 15)));
    EXPECT_TRUE(MarkedBounds(overlay, QRect()).isEmpty());
}

// Runs are found eight codes at a time: runs of every length from every
// offset, on lines of many widths, must come back code for code.
TEST(MaskRuns, GiveBackEveryCodeOfShortAndLongRuns)
{
    for (int width = 1; width <= 45; width += 4) {
        SCOPED_TRACE("width " + std::to_string(width));
        const int height = 23;
        BitmapPtr mask(FreeImage_Allocate(width, height, 8));
        int length = 1;
        int left = 0;
        BYTE code = 127;
        for (int line = 0; line < height; ++line) {
            BYTE* codes = FreeImage_GetScanLine(mask.get(), line);
            for (int x = 0; x < width; ++x) {
                if (left-- == 0) {
                    code = static_cast<BYTE>(code + 64);
                    left = length++ % 19;
                }
                codes[x] = code;
            }
        }
        const BitmapPtr original(FreeImage_Clone(mask.get()));
        CMaskRuns runs = CMaskRuns::Of(mask.get());
        BitmapPtr other = NumberedBitmap(width, height, 8, 5);
        const BitmapPtr otherBefore(FreeImage_Clone(other.get()));
        runs.SwapWith(other.get());
        EXPECT_TRUE(SameRows(other.get(), original.get()));
        runs.SwapWith(other.get());
        EXPECT_TRUE(SameRows(other.get(), otherBefore.get()));
    }
}

} // namespace
