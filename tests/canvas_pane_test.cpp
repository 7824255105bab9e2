// SPDX-License-Identifier: MIT
#include "canvas/canvas_pane.h"
#include "controls/file_dialogs.h"
#include "controls/message_box.h"
#include "kernels/pixel_access.h"
#include "test_bitmaps.h"
#include "test_pictures.h"

#include <QFile>
#include <QPaintEvent>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr QRgb PictureColour = qRgb(30, 20, 10);

// A canvas that records what it repainted.
class ScriptedCanvas : public CCanvasPane {
public:
    QRegion painted;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        painted += event->region();
        CCanvasPane::paintEvent(event);
    }
};

class CanvasPane : public testing::Test {
protected:
    void SetUp() override
    {
        SetMessageBoxHook([this](const QString& text) { messages.push_back(text); });
        canvas.resize(700 + 2 * CPreviewPane::FrameWidth, 500 + 2 * CPreviewPane::FrameWidth);
        canvas.show();
        const int channels[4] = {qBlue(PictureColour), qGreen(PictureColour), qRed(PictureColour), 0};
        ASSERT_TRUE(canvas.OpenPicture(SavePicture(MakeBitmap(64, 40, 24, channels).get(), folder.filePath("p.bmp"))));
        ASSERT_EQ(canvas.GetZoom(), 1.0);
    }
    void TearDown() override { SetMessageBoxHook({}); }

    // The 64 x 40 picture is centred in the 700 x 500 client area at 1:1.
    static QPoint ClientOf(QPoint picture) { return picture + QPoint(318, 230); }

    void Stroke(QPoint from, QPoint to)
    {
        QTest::mousePress(&canvas, Qt::LeftButton, {}, canvas.ClientRect().topLeft() + ClientOf(from));
        QTest::mouseRelease(&canvas, Qt::LeftButton, {}, canvas.ClientRect().topLeft() + ClientOf(to));
    }

    // The bounding box of the pixels of one colour.
    static QRect BoxOf(const QImage& layer, QRgb colour)
    {
        QRect box;
        for (int y = 0; y < layer.height(); ++y)
            for (int x = 0; x < layer.width(); ++x)
                if (layer.pixel(x, y) == colour)
                    box |= QRect(x, y, 1, 1);
        return box;
    }

    static int CountInColumn(const QImage& layer, int x, QRgb colour)
    {
        int count = 0;
        for (int y = 0; y < layer.height(); ++y)
            count += layer.pixel(x, y) == colour;
        return count;
    }

    // Every overlay pixel is black or the brush colour, and the display shows
    // the brush colour exactly where the overlay does, the picture elsewhere.
    static void ExpectOnlyBrushColour(const CCanvasPane& pane, QRgb brush)
    {
        const QImage& overlay = pane.OverlayLayer();
        for (int y = 0; y < overlay.height(); ++y) {
            for (int x = 0; x < overlay.width(); ++x) {
                const QRgb marked = overlay.pixel(x, y);
                ASSERT_TRUE(marked == qRgb(0, 0, 0) || marked == brush) << x << "," << y;
                ASSERT_EQ(pane.DisplayLayer().pixel(x, y), marked == brush ? brush : PictureColour) << x << "," << y;
            }
        }
    }

    QTemporaryDir folder;
    ScriptedCanvas canvas;
    std::vector<QString> messages;
};

TEST_F(CanvasPane, HoleStrokeIsTenPixelsWideInBothLayers)
{
    canvas.SetBrushSize(10);
    Stroke({10, 10}, {30, 10});
    ExpectOnlyBrushColour(canvas, HoleRgb);
    for (int x = 10; x <= 30; ++x)
        EXPECT_EQ(CountInColumn(canvas.OverlayLayer(), x, HoleRgb), 10) << x;
    const QRect box = BoxOf(canvas.OverlayLayer(), HoleRgb);
    EXPECT_TRUE(QRect(5, 5, 31, 11).contains(box)) << box.x() << "," << box.y() << " " << box.width() << "x"
                                                   << box.height();
}

TEST_F(CanvasPane, OutlineIsOnePixelWideWhateverTheBrushSize)
{
    canvas.SetBrushSize(40);
    canvas.SetTool(ToolSourceOutline);
    Stroke({5, 5}, {45, 25});
    ExpectOnlyBrushColour(canvas, OutlineRgb);
    for (int x = 6; x < 45; ++x)
        EXPECT_EQ(CountInColumn(canvas.OverlayLayer(), x, OutlineRgb), 1) << x;
    EXPECT_EQ(BoxOf(canvas.OverlayLayer(), OutlineRgb), QRect(QPoint(5, 5), QPoint(45, 25)));
}

TEST_F(CanvasPane, GuidePencilDrawsOnePixelOverStrokesAndIsErasedUndoneAndRedone)
{
    canvas.SetBrushSize(10);
    Stroke({10, 20}, {50, 20});
    const QImage red = canvas.OverlayLayer().copy();
    canvas.SetTool(ToolGuide);
    Stroke({30, 5}, {30, 35});
    const QImage guided = canvas.OverlayLayer().copy();
    EXPECT_EQ(BoxOf(guided, GuideRgb), QRect(30, 5, 1, 31));
    EXPECT_EQ(CountInColumn(guided, 30, GuideRgb), 31) << "drawn across the red stroke too";
    EXPECT_EQ(BoxOf(canvas.DisplayLayer(), GuideRgb), QRect(30, 5, 1, 31));
    EXPECT_TRUE(canvas.HasStrokeOf(GuideRgb));

    // The hole brush paints around a guide, so that it still runs across the hole.
    canvas.SetTool(ToolHoleBrush);
    Stroke({20, 30}, {40, 30});
    EXPECT_EQ(CountInColumn(canvas.OverlayLayer(), 30, GuideRgb), 31);
    EXPECT_EQ(canvas.OverlayLayer().pixel(29, 30), HoleRgb);
    EXPECT_EQ(canvas.OverlayLayer().pixel(31, 30), HoleRgb);

    canvas.SetTool(ToolEraser);
    Stroke({30, 10}, {30, 10});
    EXPECT_EQ(BoxOf(canvas.OverlayLayer(), GuideRgb), QRect(30, 15, 1, 21));
    EXPECT_EQ(canvas.DisplayLayer().pixel(30, 10), PictureColour);

    const QImage erased = canvas.OverlayLayer().copy();
    ASSERT_TRUE(canvas.RestoreUndoState(nullptr));
    ASSERT_TRUE(canvas.RestoreUndoState(nullptr));
    EXPECT_EQ(canvas.OverlayLayer(), guided);
    EXPECT_EQ(BoxOf(canvas.DisplayLayer(), GuideRgb), QRect(30, 5, 1, 31));
    ASSERT_TRUE(canvas.RestoreUndoState(nullptr));
    EXPECT_EQ(canvas.OverlayLayer(), red);
    EXPECT_FALSE(canvas.HasStrokeOf(GuideRgb));
    for (int step = 0; step < 3; ++step)
        ASSERT_TRUE(canvas.RedoState(nullptr));
    EXPECT_EQ(canvas.OverlayLayer(), erased);
}

TEST_F(CanvasPane, EraserRestoresARectangleFromTheResultLayer)
{
    canvas.SetBrushSize(40);
    Stroke({0, 20}, {60, 20});
    // As after a Paint: the working image differs from the loaded picture.
    const int filled[4] = {200, 150, 100, 0};
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 64; ++x)
            WritePixel(canvas.WorkingImage(), x, y, filled, 3);
    canvas.RenderResult();

    canvas.SetTool(ToolEraser);
    canvas.SetBrushSize(10);
    Stroke({10, 10}, {30, 10});
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 64; ++x) {
            const bool erased = x >= 5 && x < 35 && y >= 5 && y < 15;
            if (erased) {
                EXPECT_EQ(canvas.DisplayLayer().pixel(x, y), qRgb(100, 150, 200)) << x << "," << y;
                EXPECT_EQ(canvas.OverlayLayer().pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
            }
        }
    }
    for (QPoint kept : {QPoint(35, 10), QPoint(20, 15), QPoint(4, 10), QPoint(20, 4)}) {
        EXPECT_EQ(canvas.OverlayLayer().pixel(kept), HoleRgb) << kept.x() << "," << kept.y();
        EXPECT_EQ(canvas.DisplayLayer().pixel(kept), HoleRgb) << kept.x() << "," << kept.y();
    }
}

TEST_F(CanvasPane, MovingWithoutTheButtonChangesNoLayer)
{
    const QImage display = canvas.DisplayLayer();
    const QImage overlay = canvas.OverlayLayer();
    QTest::mouseMove(&canvas, canvas.ClientRect().topLeft() + ClientOf({20, 20}));
    QTest::mouseMove(&canvas, canvas.ClientRect().topLeft() + ClientOf({40, 30}));
    EXPECT_EQ(canvas.DisplayLayer(), display);
    EXPECT_EQ(canvas.OverlayLayer(), overlay);
}

TEST_F(CanvasPane, EachMoveDrawsWhileTheButtonIsHeldAndRepaintsOnlyTheSegment)
{
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    QCoreApplication::processEvents();
    canvas.painted = QRegion();
    QTest::mousePress(&canvas, Qt::LeftButton, {}, canvas.ClientRect().topLeft() + ClientOf({10, 30}));
    QTest::mouseMove(&canvas, canvas.ClientRect().topLeft() + ClientOf({20, 30}));
    EXPECT_EQ(canvas.OverlayLayer().pixel(20, 30), HoleRgb);
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, canvas.ClientRect().topLeft() + ClientOf({20, 30}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !canvas.painted.isEmpty(); }));
    const QRect segment(canvas.ClientRect().topLeft() + ClientOf({10 - 7, 30 - 7}), QSize(25, 15));
    EXPECT_TRUE(segment.contains(canvas.painted.boundingRect()));
}

TEST_F(CanvasPane, OpenDialogOpensTheChosenPictureOrNothing)
{
    QString askedTitle;
    QString askedFilter;
    SetFileDialogHook([&](FileDialogKind, const QString& title, const QString& filter, const QString&) {
        askedTitle = title;
        askedFilter = filter;
        return QString();
    });
    EXPECT_FALSE(canvas.OpenPictureDialog());
    EXPECT_EQ(askedTitle, "Open image");
    EXPECT_EQ(askedFilter, "Image files (*.bmp *.png *.tif *.jpg)");

    const int white[4] = {255, 255, 255, 0};
    const QString other = SavePicture(MakeBitmap(8, 6, 24, white).get(), folder.filePath("other.png"));
    SetFileDialogHook([&](FileDialogKind, const QString&, const QString&, const QString&) { return other; });
    EXPECT_TRUE(canvas.OpenPictureDialog());
    SetFileDialogHook({});
    EXPECT_EQ(canvas.OpenedFileName(), other);
    EXPECT_EQ(canvas.DisplayLayer().size(), QSize(8, 6));
    EXPECT_TRUE(messages.empty());
}

TEST_F(CanvasPane, FailedOpenChangesNothing)
{
    Stroke({10, 10}, {20, 10});
    ASSERT_TRUE(canvas.SaveUndoState(CMaskRuns(), QRect(0, 0, 64, 40)));
    canvas.KeepUndoState();
    canvas.MarkChanged();
    const QImage overlay = canvas.OverlayLayer().copy();
    const QImage display = canvas.DisplayLayer().copy();
    const BitmapPtr working(FreeImage_Clone(canvas.WorkingImage()));
    const QString opened = canvas.OpenedFileName();
    const int revision = canvas.Revision();
    QFile cut(folder.filePath("cut.png"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    cut.close();

    for (const QString& name : {folder.filePath("missing.bmp"), cut.fileName()}) {
        messages.clear();
        EXPECT_FALSE(canvas.OpenPicture(name));
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(messages[0].startsWith("File " + name + " could not be opened: ")) << messages[0].toStdString();
        EXPECT_EQ(canvas.OverlayLayer(), overlay);
        EXPECT_EQ(canvas.DisplayLayer(), display);
        EXPECT_TRUE(SameBytes(canvas.WorkingImage(), working.get()));
        EXPECT_EQ(canvas.OpenedFileName(), opened);
        EXPECT_EQ(canvas.Revision(), revision);
        EXPECT_TRUE(canvas.IsModified());
    }
    // Undo still reaches the state before the strokes were saved.
    EXPECT_TRUE(canvas.RestoreUndoState(nullptr));
    EXPECT_EQ(canvas.OverlayLayer(), overlay);
}

TEST_F(CanvasPane, OpeningStartsUnmodifiedAndEachChangeIsANewState)
{
    EXPECT_FALSE(canvas.IsModified());
    Stroke({10, 10}, {20, 10});
    EXPECT_TRUE(canvas.IsModified()) << "strokes not yet painted are work a close would lose";
    canvas.RestoreUndoState(nullptr);
    EXPECT_FALSE(canvas.IsModified()) << "the stroke undone";
    canvas.RedoState(nullptr);
    // A Paint as the editor runs it, consuming the stroke.
    ASSERT_TRUE(canvas.SaveUndoState(CMaskRuns(), QRect(0, 0, 64, 40)));
    canvas.KeepUndoState();
    canvas.MarkChanged();
    canvas.ShowPaintResult(QRect(0, 0, 64, 40));
    EXPECT_TRUE(canvas.IsModified());
    canvas.MarkSaved(canvas.OpenedFileName());
    EXPECT_FALSE(canvas.IsModified());
    canvas.RestoreUndoState(nullptr);
    EXPECT_TRUE(canvas.IsModified()) << "the saved state is gone again";
    canvas.RedoState(nullptr);
    EXPECT_FALSE(canvas.IsModified()) << "and back";
}

TEST_F(CanvasPane, GreyAndRgbaPicturesAreShownTopRowFirst)
{
    BitmapPtr grey = MakeBitmap(3, 2, 8, std::array{0, 0, 0, 0}.data());
    const int light[4] = {200, 0, 0, 0};
    WritePixel(grey.get(), 0, 1, light, 1);
    ASSERT_TRUE(canvas.OpenPicture(SavePicture(grey.get(), folder.filePath("grey.png"))));
    EXPECT_EQ(canvas.DisplayLayer().pixel(0, 0), qRgb(200, 200, 200));
    EXPECT_EQ(canvas.DisplayLayer().pixel(0, 1), qRgb(0, 0, 0));

    // Fully transparent pixels still show their colour.
    const int clear[4] = {40, 50, 60, 0};
    BitmapPtr rgba = MakeBitmap(3, 2, 32, clear);
    ASSERT_TRUE(canvas.OpenPicture(SavePicture(rgba.get(), folder.filePath("rgba.png"))));
    EXPECT_EQ(FreeImage_GetBPP(canvas.WorkingImage()), 32u);
    EXPECT_EQ(canvas.DisplayLayer().pixel(2, 1), qRgb(60, 50, 40));
    EXPECT_EQ(canvas.ResultLayer().pixel(2, 1), qRgb(60, 50, 40));
}

TEST_F(CanvasPane, CmykPictureGetsAnRgbWorkingImage)
{
    const int cyan[4] = {255, 0, 0, 0};
    BitmapPtr cmyk = MakeCmykBitmap(2, 2, cyan);
    const int black[4] = {0, 0, 0, 255};
    const int mixed[4] = {100, 50, 0, 51};
    WritePixel(cmyk.get(), 1, 0, black, 4);
    WritePixel(cmyk.get(), 0, 1, mixed, 4);
    ASSERT_TRUE(canvas.OpenPicture(SavePicture(cmyk.get(), folder.filePath("cmyk.tif"))));

    EXPECT_EQ(canvas.ColorType(), FIC_CMYK);
    ASSERT_NE(canvas.CmykImage(), nullptr);
    EXPECT_EQ(FreeImage_GetBPP(canvas.CmykImage()), 32u);
    EXPECT_EQ(FreeImage_GetBPP(canvas.WorkingImage()), 24u);
    // FreeImage's row 0 is the layers' bottom row.
    EXPECT_EQ(canvas.DisplayLayer().pixel(0, 1), qRgb(0, 255, 255));
    EXPECT_EQ(canvas.DisplayLayer().pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.DisplayLayer().pixel(0, 0), qRgb(124, 164, 204));
    EXPECT_EQ(canvas.ResultLayer().pixel(0, 0), qRgb(124, 164, 204));

    // After the engine has filled the CMYK image, the conversion follows it.
    const int magenta[4] = {0, 255, 0, 0};
    WritePixel(canvas.CmykImage(), 1, 1, magenta, 4);
    canvas.ConvertCmykImage();
    canvas.RenderDisplay();
    EXPECT_EQ(canvas.DisplayLayer().pixel(1, 0), qRgb(255, 0, 255));
}

} // namespace
