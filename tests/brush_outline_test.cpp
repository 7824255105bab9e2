// SPDX-License-Identifier: MIT
// What the user sees of the brush and the strokes: the outline drawn on the
// canvas matches the brush at any zoom and screen scale, and one-pixel
// strokes stay visible when the picture is shown smaller than 1:1.
#include "canvas/canvas_pane.h"
#include "controls/message_box.h"
#include "test_pictures.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ScaledCanvas : public CCanvasPane {
public:
    double ratio = 1.0;
    QPoint cursorAt;
    using CCanvasPane::DrawSegment;

protected:
    double DeviceRatio() const override { return ratio; }
};

class BrushOutline : public testing::Test {
protected:
    void Open(int width, int height, QSize view)
    {
        canvas.resize(view + QSize(2 * CPreviewPane::FrameWidth, 2 * CPreviewPane::FrameWidth));
        const int grey[4] = {30, 20, 10, 0};
        ASSERT_TRUE(
            canvas.OpenPicture(SavePicture(MakeBitmap(width, height, 24, grey).get(), folder.filePath("p.bmp"))));
        canvas.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    }
    // The colour of the canvas at a widget point, as painted.
    QRgb ShownAt(const QImage& shot, QPoint point) const { return shot.pixel(point); }
    void Hover(QPoint widget) { QTest::mouseMove(&canvas, widget); }

    QTemporaryDir folder;
    ScaledCanvas canvas;
};

TEST_F(BrushOutline, SizeFollowsBrushAndZoomAtEachScale)
{
    Open(2000, 1000, {384, 200});
    ASSERT_NEAR(canvas.GetZoom(), 0.192, 1e-9);
    canvas.SetBrushSize(10);
    EXPECT_EQ(canvas.BrushScreenSize(), 10) << "the least size keeps it visible";
    canvas.SetBrushSize(100);
    EXPECT_EQ(canvas.BrushScreenSize(), 19);
    EXPECT_FALSE(canvas.OutlineOnCanvas());
    EXPECT_EQ(canvas.cursor().pixmap().size(), QSize(19, 19));

    canvas.ZoomActualSize();
    EXPECT_EQ(canvas.BrushScreenSize(), 100);
    // At 1.5 screen pixels per widget pixel a cursor would be two thirds of
    // the brush; the outline drawn on the canvas scales with the widget.
    canvas.ratio = 1.5;
    canvas.RebuildCursor();
    EXPECT_TRUE(canvas.OutlineOnCanvas());
    EXPECT_EQ(canvas.cursor().shape(), Qt::CrossCursor);
    EXPECT_EQ(canvas.BrushScreenSize(), 100);
}

TEST_F(BrushOutline, OutlineOnTheCanvasIsTheBrushesSizeAroundTheMouse)
{
    Open(200, 150, {500, 400});
    while (canvas.GetZoom() < 7.0)
        canvas.ZoomIn();
    canvas.SetBrushSize(40);
    ASSERT_TRUE(canvas.OutlineOnCanvas());
    const QPoint centre = canvas.ClientRect().center();
    Hover(centre);
    const QImage shot = canvas.grab().toImage();
    // The hole brush's ring: 280 widget pixels across, in the brush colour.
    EXPECT_EQ(ShownAt(shot, centre + QPoint(0, -140)), HoleRgb);
    EXPECT_EQ(ShownAt(shot, centre + QPoint(-140, 0)), HoleRgb);
    EXPECT_NE(ShownAt(shot, centre + QPoint(0, -100)), HoleRgb);
    EXPECT_NE(ShownAt(shot, centre + QPoint(0, -143)), HoleRgb);
}

TEST_F(BrushOutline, OnePixelStrokesStayVisibleBelowOneToOne)
{
    Open(2000, 1000, {384, 200});
    canvas.SetTool(ToolSourceOutline);
    // A rectangle of one-pixel lines between client points.
    const QPoint corners[] = {{50, 40}, {300, 40}, {300, 150}, {50, 150}, {50, 40}};
    canvas.cursorAt = corners[0];
    QTest::mousePress(&canvas, Qt::LeftButton, {}, canvas.ClientRect().topLeft() + corners[0]);
    for (QPoint corner : corners) {
        canvas.cursorAt = corner;
        canvas.DrawSegment(canvas.cursorAt);
    }
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, canvas.ClientRect().topLeft() + corners[4]);
    const QImage overlay = canvas.OverlayLayer().copy();

    const QImage shot = canvas.grab().toImage();
    const QPoint client = canvas.ClientRect().topLeft();
    // Each screen row or column near the line shows it somewhere, give or
    // take the rounding of the centring.
    const auto shownNear = [&](QPoint point, QPoint across) {
        for (int step = -2; step <= 2; ++step)
            if (ShownAt(shot, client + point + step * across) == OutlineRgb)
                return true;
        return false;
    };
    int shownTop = 0;
    int shownLeft = 0;
    for (int x = 60; x < 290; ++x)
        shownTop += shownNear({x, 40}, {0, 1});
    for (int y = 50; y < 140; ++y)
        shownLeft += shownNear({50, y}, {1, 0});
    EXPECT_EQ(shownTop, 230);
    EXPECT_EQ(shownLeft, 90);
    // Only the view changed: the layer still holds one-pixel lines.
    EXPECT_EQ(canvas.OverlayLayer(), overlay);
    int topRow = 0;
    for (int x = 0; x < 2000; ++x)
        topRow += overlay.pixel(x, canvas.OverlayLayer().height() / 2) == OutlineRgb;
    EXPECT_EQ(topRow, 2);
}

} // namespace
