// SPDX-License-Identifier: MIT
// A click paints one dab of the tool, and an outline drawn across a hole
// stroke leaves the hole whole while still enclosing the source area.
#include "canvas/canvas_pane.h"
#include "canvas/overlay_capture.h"
#include "controls/message_box.h"
#include "mask/overlay_to_mask.h"
#include "test_pictures.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ClickCanvas : public CCanvasPane {
public:
    QPoint cursorAt;
    // A pointer position the system delivered.
    using CCanvasPane::DrawSegment;
};

class CanvasDab : public testing::Test {
protected:
    void SetUp() override
    {
        canvas.resize(704, 504);
        const int grey[4] = {30, 20, 10, 0};
        ASSERT_TRUE(canvas.OpenPicture(SavePicture(MakeBitmap(64, 40, 24, grey).get(), folder.filePath("p.bmp"))));
        ASSERT_EQ(canvas.GetZoom(), 1.0);
    }

    QPoint WidgetOf(QPoint picture) const { return canvas.ClientRect().topLeft() + ClientOf(picture); }
    static QPoint ClientOf(QPoint picture) { return picture + QPoint(318, 230); }

    // Press at one picture point, move through the others, release at the last.
    void Drag(std::initializer_list<QPoint> points)
    {
        const QPoint first = *points.begin();
        canvas.cursorAt = ClientOf(first);
        QTest::mousePress(&canvas, Qt::LeftButton, {}, WidgetOf(first));
        QPoint last = first;
        for (QPoint point : points) {
            canvas.cursorAt = ClientOf(point);
            canvas.DrawSegment(canvas.cursorAt);
            last = point;
        }
        QTest::mouseRelease(&canvas, Qt::LeftButton, {}, WidgetOf(last));
    }

    static QRegion Marked(const QImage& layer, QRgb colour)
    {
        QRegion region;
        for (int y = 0; y < layer.height(); ++y)
            for (int x = 0; x < layer.width(); ++x)
                if (layer.pixel(x, y) == colour)
                    region += QRect(x, y, 1, 1);
        return region;
    }

    QTemporaryDir folder;
    ClickCanvas canvas;
};

TEST_F(CanvasDab, ClickPaintsOneDabOfEachTool)
{
    canvas.SetBrushSize(10);
    Drag({{20, 20}});
    const QRegion hole = Marked(canvas.OverlayLayer(), HoleRgb);
    EXPECT_EQ(hole.boundingRect(), QRect(15, 15, 10, 10));
    EXPECT_EQ(Marked(canvas.DisplayLayer(), HoleRgb), hole);

    canvas.SetBrushSize(5);
    Drag({{40, 20}});
    EXPECT_EQ((Marked(canvas.OverlayLayer(), HoleRgb) - hole).boundingRect(), QRect(38, 18, 5, 5));

    canvas.SetTool(ToolSourceOutline);
    Drag({{50, 30}});
    EXPECT_EQ(Marked(canvas.OverlayLayer(), OutlineRgb), QRegion(50, 30, 1, 1));

    canvas.SetTool(ToolEraser);
    canvas.SetBrushSize(10);
    Drag({{20, 20}});
    EXPECT_EQ(Marked(canvas.OverlayLayer(), HoleRgb) & QRect(15, 15, 10, 10), QRegion());
}

TEST_F(CanvasDab, DragStartsAtThePressPoint)
{
    canvas.SetBrushSize(1);
    Drag({{10, 10}, {10, 10}, {13, 10}});
    EXPECT_EQ(Marked(canvas.OverlayLayer(), HoleRgb), QRegion(10, 10, 4, 1));
}

TEST_F(CanvasDab, OutlineAcrossAHoleKeepsTheHoleAndEnclosesTheSource)
{
    canvas.SetBrushSize(8);
    Drag({{30, 5}, {30, 35}});
    const QRegion painted = Marked(canvas.OverlayLayer(), HoleRgb);
    // A closed outline whose left side runs through the hole stroke.
    canvas.SetTool(ToolSourceOutline);
    Drag({{30, 10}, {50, 10}, {50, 30}, {30, 30}, {30, 10}});
    EXPECT_EQ(Marked(canvas.OverlayLayer(), HoleRgb), painted);
    EXPECT_EQ(Marked(canvas.DisplayLayer(), HoleRgb), painted);

    // Read as Paint reads it: within the strokes' rectangle only.
    const std::optional<OverlayRows> overlay = OverlayRowsOf(canvas.OverlayLayer(), canvas.StrokesRect());
    ASSERT_TRUE(overlay);
    BitmapPtr mask(FreeImage_Allocate(64, 40, 8));
    BitmapPtr target(FreeImage_Allocate(64, 40, 24));
    OverlayToMask(*overlay, 64, 40, mask.get(), 8, false, target.get(), {});
    // The mask's rows are bottom-up.
    const auto code = [&](int x, int y) { return FreeImage_GetScanLine(mask.get(), 39 - y)[x]; };
    QRegion holeCodes;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 64; ++x)
            if (code(x, y) == MaskHole)
                holeCodes += QRect(x, y, 1, 1);
    EXPECT_EQ(holeCodes, painted);
    EXPECT_EQ(code(40, 20), MaskSource) << "inside the outline";
    EXPECT_EQ(code(58, 20), MaskExcluded) << "outside the outline";
    EXPECT_EQ(code(40, 36), MaskExcluded) << "below the outline";
}

} // namespace
