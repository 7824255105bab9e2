// SPDX-License-Identifier: MIT
#include "canvas/canvas_pane.h"
#include "canvas/color_cursor.h"

#include <QPixmap>

#include <gtest/gtest.h>

#include <set>

namespace {

class BrushCursor : public testing::Test {
protected:
    void SetUp() override { canvas.resize(704, 504); }

    QSize CursorSize() const { return canvas.cursor().pixmap().size(); }
    QPoint HotSpot() const { return canvas.cursor().hotSpot(); }
    // Alpha of the installed cursor at a point: 0 where it is see-through.
    int OpacityAt(QPoint point) const { return qAlpha(canvas.cursor().pixmap().toImage().pixel(point)); }

    CCanvasPane canvas;
};

TEST_F(BrushCursor, SizeFollowsBrushAndZoomWithATenPixelLeast)
{
    canvas.SetBrushSize(5);
    EXPECT_EQ(CursorSize(), QSize(10, 10));
    EXPECT_EQ(HotSpot(), QPoint(5, 5));

    canvas.SetBrushSize(30);
    EXPECT_EQ(CursorSize(), QSize(30, 30));
    ASSERT_DOUBLE_EQ(canvas.ZoomIn(), 2.0);
    EXPECT_EQ(CursorSize(), QSize(60, 60));

    canvas.SetBrushSize(50);
    EXPECT_EQ(CursorSize(), QSize(100, 100));
    EXPECT_EQ(HotSpot(), QPoint(50, 50));
}

TEST_F(BrushCursor, SmallZoomGivesTheLeastSize)
{
    canvas.SetBrushSize(10);
    canvas.ZoomOut();
    canvas.ZoomOut();
    ASSERT_LT(canvas.GetZoom(), 1.0);
    EXPECT_EQ(CursorSize(), QSize(10, 10));
}

TEST_F(BrushCursor, OutlineBrushCursorIsAlwaysTenPixels)
{
    canvas.SetBrushSize(50);
    canvas.ZoomIn();
    canvas.SetTool(ToolSourceOutline);
    EXPECT_EQ(CursorSize(), QSize(10, 10));
    EXPECT_EQ(HotSpot(), QPoint(5, 5));
}

TEST_F(BrushCursor, BrushLargerThanACursorIsOutlinedOnTheCanvasUnderACross)
{
    canvas.SetBrushSize(100);
    while (canvas.GetZoom() < 7.0)
        canvas.ZoomIn();
    EXPECT_EQ(canvas.BrushScreenSize(), 700);
    EXPECT_TRUE(canvas.OutlineOnCanvas());
    EXPECT_TRUE(canvas.CursorImage().isNull());
    EXPECT_EQ(canvas.cursor().shape(), Qt::CrossCursor);
    // Back within a cursor's size, the outline cursor returns.
    canvas.SetBrushSize(30);
    EXPECT_FALSE(canvas.OutlineOnCanvas());
    EXPECT_EQ(CursorSize(), QSize(210, 210));
}

// The cursor shows where the brush reaches and hides nothing inside it.
TEST_F(BrushCursor, BrushCursorIsACircleOutlineInTheBrushColour)
{
    canvas.SetBrushSize(40);
    const QImage& picture = canvas.CursorImage();
    std::set<QRgb> colours;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            colours.insert(picture.pixel(x, y));
    EXPECT_EQ(colours.size(), 3u);
    EXPECT_TRUE(colours.contains(HoleRgb));
    EXPECT_EQ(picture.pixel(20, 1), HoleRgb);
    EXPECT_NE(picture.pixel(20, 0), qRgb(0, 0, 0)) << "the dark ring";
    EXPECT_EQ(OpacityAt({20, 0}), 255);
    EXPECT_EQ(OpacityAt({20, 1}), 255);
    for (const QPoint seeThrough : {QPoint(0, 0), QPoint(39, 39), QPoint(20, 20), QPoint(10, 20), QPoint(20, 3)})
        EXPECT_EQ(OpacityAt(seeThrough), 0) << seeThrough.x() << "," << seeThrough.y();
}

TEST_F(BrushCursor, EraserIsAWhiteSquareOutline)
{
    canvas.SetBrushSize(40);
    canvas.SetTool(ToolEraser);
    const QImage& picture = canvas.CursorImage();
    EXPECT_EQ(picture.pixel(1, 20), qRgb(255, 255, 255));
    EXPECT_EQ(picture.pixel(38, 38), qRgb(255, 255, 255));
    EXPECT_EQ(OpacityAt({0, 20}), 255);
    EXPECT_EQ(OpacityAt({1, 1}), 255);
    EXPECT_EQ(OpacityAt({20, 20}), 0);
    EXPECT_EQ(OpacityAt({2, 20}), 0);
}

TEST(ColorCursor, OnlyExactBlackIsTransparent)
{
    QImage source(3, 1, QImage::Format_RGB32);
    source.setPixel(0, 0, qRgb(0, 0, 0));
    source.setPixel(1, 0, qRgb(1, 0, 0));
    source.setPixel(2, 0, qRgb(255, 255, 255));
    CColorCursor maker;
    QImage andMask;
    QImage colour;
    maker.GetMaskBitmaps(source, qRgb(0, 0, 0), andMask, colour);
    EXPECT_EQ(andMask.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(andMask.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(andMask.pixel(2, 0), qRgb(0, 0, 0));
    EXPECT_EQ(colour.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(colour.pixel(1, 0), qRgb(1, 0, 0));
    EXPECT_EQ(colour.pixel(2, 0), qRgb(255, 255, 255));

    const auto cursor = maker.CreateColorCursor(source, qRgb(0, 0, 0), 1, 0);
    ASSERT_TRUE(cursor.has_value());
    const QImage shown = cursor->pixmap().toImage();
    EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(shown.pixel(1, 0)), 255);
    EXPECT_EQ(shown.pixel(1, 0), qRgb(1, 0, 0));
    EXPECT_FALSE(maker.CreateColorCursor(QImage(), qRgb(0, 0, 0), 0, 0).has_value());
}

} // namespace
