// SPDX-License-Identifier: MIT
// Paint and Undo driven through the dialog's buttons, with strokes drawn by
// the mouse on the canvas.
#include "canvas/layer_render.h"
#include "editor_fixture.h"
#include "kernels/pixel_access.h"
#include "picture/bitmap.h"
#include "picture/cmyk_conversion.h"
#include "picture/picture_loader.h"
#include "test_bitmaps.h"
#include "test_pictures.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QSlider>

#include <cstdlib>
#include <vector>
#include <sys/wait.h>

namespace {

constexpr int PaintButton = 1042;
constexpr int UndoButton = 1043;

const QString TablePicture = QStringLiteral(QUENLO_TEST_DATA_DIR "/coffee_table.png");

int CountColour(const QImage& layer, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x)
            count += layer.pixel(x, y) == colour;
    return count;
}

BitmapPtr Load(const QString& path)
{
    LoadedPicture picture = LoadPicture(QFile::encodeName(path).toStdString());
    EXPECT_TRUE(picture) << path.toStdString() << ": " << picture.error;
    return std::move(picture.bitmap);
}

class PaintCommand : public EditorTest {
protected:
    // The table crop with a blemish painted over and, with outline, a
    // closed outline around part of it.
    void OpenAndMark(bool outline = false)
    {
        StartDialog();
        Open(TablePicture);
        ASSERT_TRUE(Canvas().HasPicture());
        Stroke({40, 40}, {70, 52});
        if (outline) {
            Click(1027);
            Stroke({20, 20}, {100, 20});
            Stroke({100, 20}, {100, 80});
            Stroke({100, 80}, {20, 80});
            Stroke({20, 80}, {20, 20});
            Click(1024);
        }
    }
};

TEST_F(PaintCommand, WithoutPictureSaysNoImageAndChangesNothing)
{
    StartDialog();
    Click(PaintButton);
    EXPECT_EQ(messages, QStringList{QStringLiteral("No image!")});
}

TEST_F(PaintCommand, FillsTheRemovalStrokeAsTheCommandLineToolDoes)
{
    OpenAndMark();
    const QImage overlay = Canvas().OverlayLayer();
    ASSERT_GT(CountColour(overlay, HoleRgb), 300);
    const BitmapPtr before = CloneBitmap(Canvas().WorkingImage());

    Click(PaintButton);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
    EXPECT_EQ(CountColour(Canvas().OverlayLayer(), HoleRgb), 0);
    EXPECT_EQ(CountColour(Canvas().OverlayLayer(), qRgb(0, 0, 0)), overlay.width() * overlay.height());
    EXPECT_EQ(CountColour(Canvas().DisplayLayer(), HoleRgb), 0);
    EXPECT_FALSE(SameBytes(before.get(), Canvas().WorkingImage()));
    EXPECT_EQ(CodeAt(dialog->Mask(), 55, 95 - 46), MaskSource) << "the hole is filled";

    // The same strokes through the command-line tool give the same bytes.
    ASSERT_TRUE(overlay.save(PathOf(QStringLiteral("overlay.png"))));
    const QString result = PathOf(QStringLiteral("cli.png"));
    const std::string command = std::string("'" QUENLO_INPAINT_TOOL "' --quiet '") + TablePicture.toStdString() +
                                "' '" + result.toStdString() + "' --overlay '" +
                                PathOf(QStringLiteral("overlay.png")).toStdString() + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
    const BitmapPtr cli = Load(result);
    EXPECT_TRUE(SameBytes(cli.get(), Canvas().WorkingImage()));
    EXPECT_EQ(Canvas().DisplayLayer(), Canvas().ResultLayer());
}

TEST_F(PaintCommand, GuideLinesReachTheStructureFillAsTheCommandLineToolTakesThem)
{
    OpenAndMark();
    auto* method = Find<QComboBox>(1060);
    method->setCurrentIndex(method->findData(QStringLiteral("structure")));
    ASSERT_EQ(dialog->Method(), FillMethod::Structure);
    Click(1061);
    Stroke({55, 25}, {58, 70});
    const QImage overlay = Canvas().OverlayLayer().copy();
    ASSERT_GT(CountColour(overlay, GuideRgb), 40);

    Click(PaintButton);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
    EXPECT_EQ(CountColour(Canvas().OverlayLayer(), GuideRgb), 0) << "the guide is used up like the strokes";

    ASSERT_TRUE(overlay.save(PathOf(QStringLiteral("overlay.png"))));
    const QString result = PathOf(QStringLiteral("cli.png"));
    const std::string command = std::string("'" QUENLO_INPAINT_TOOL "' --quiet --method structure '") +
                                TablePicture.toStdString() + "' '" + result.toStdString() + "' --overlay '" +
                                PathOf(QStringLiteral("overlay.png")).toStdString() + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
    EXPECT_TRUE(SameBytes(Load(result).get(), Canvas().WorkingImage()));

    // Undo brings the guide back with the strokes.
    Click(UndoButton);
    EXPECT_EQ(Canvas().OverlayLayer(), overlay);
}

TEST_F(PaintCommand, NothingMarkedForRemovalChangesNothingAndKeepsUndo)
{
    StartDialog();
    Open(TablePicture);
    Stroke({40, 40}, {70, 52});
    Click(PaintButton);
    const BitmapPtr afterFirst = CloneBitmap(Canvas().WorkingImage());
    FIBITMAP* const mask = dialog->Mask();
    const BitmapPtr maskBytes = CloneBitmap(mask);

    Click(1027);
    Stroke({20, 20}, {100, 20});
    Stroke({100, 20}, {100, 80});
    const QImage overlay = Canvas().OverlayLayer().copy();
    const QImage display = Canvas().DisplayLayer().copy();
    const int revision = Canvas().Revision();
    Click(PaintButton);
    EXPECT_EQ(messages, QStringList{QStringLiteral("Nothing is marked for removal.")});
    EXPECT_TRUE(SameBytes(afterFirst.get(), Canvas().WorkingImage()));
    EXPECT_EQ(Canvas().OverlayLayer(), overlay);
    EXPECT_EQ(Canvas().DisplayLayer(), display);
    EXPECT_TRUE(SameBytes(maskBytes.get(), dialog->Mask()));
    EXPECT_EQ(Canvas().Revision(), revision);

    // Undo still reaches the picture before the first Paint, past the two strokes.
    for (int step = 0; step < 3; ++step)
        Click(UndoButton);
    EXPECT_FALSE(SameBytes(afterFirst.get(), Canvas().WorkingImage()));
    EXPECT_EQ(CountColour(Canvas().OverlayLayer(), OutlineRgb), 0);
    EXPECT_GT(CountColour(Canvas().OverlayLayer(), HoleRgb), 100);
}

TEST_F(PaintCommand, UndoBringsBackStrokesAndPictureAsOftenAsAsked)
{
    OpenAndMark(true);
    const QImage overlay = Canvas().OverlayLayer();
    const QImage display = Canvas().DisplayLayer();
    const BitmapPtr picture = CloneBitmap(Canvas().WorkingImage());
    Click(PaintButton);
    const BitmapPtr painted = CloneBitmap(Canvas().WorkingImage());
    ASSERT_FALSE(SameBytes(picture.get(), painted.get()));

    for (int undo = 1; undo <= 2; ++undo) {
        if (undo > 1)
            dialog->RedoCommand();
        Click(UndoButton);
        EXPECT_EQ(Canvas().OverlayLayer(), overlay) << "undo " << undo;
        EXPECT_EQ(Canvas().DisplayLayer(), display) << "undo " << undo;
        EXPECT_TRUE(SameBytes(picture.get(), Canvas().WorkingImage())) << "undo " << undo;
    }
    // Painting again starts from the restored strokes and gives the same fill.
    Click(PaintButton);
    EXPECT_TRUE(SameBytes(painted.get(), Canvas().WorkingImage()));
}

TEST_F(PaintCommand, MarksOutsideEveryOutlineAreCountedInOneMessage)
{
    OpenAndMark(true);
    // Below the outline, in rows it does not cross.
    Stroke({30, 88}, {60, 90});
    QImage outside = Canvas().OverlayLayer().copy(0, 81, 128, 15);
    const int left = CountColour(outside, HoleRgb);
    ASSERT_GT(left, 0);
    const BitmapPtr picture = CloneBitmap(Canvas().WorkingImage());
    Click(PaintButton);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("%1 marked pixels were left unfilled: ").arg(left)))
        << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(QStringLiteral("outline")));
    // Otherwise as after any Paint: the marks are gone and the picture there is as it was.
    EXPECT_EQ(CountColour(Canvas().OverlayLayer(), HoleRgb), 0);
    const QImage result = Canvas().ResultLayer();
    const QImage before = LayerOf(picture.get());
    EXPECT_EQ(result.copy(0, 81, 128, 15), before.copy(0, 81, 128, 15));
    EXPECT_NE(result.copy(0, 0, 128, 81), before.copy(0, 0, 128, 81));

    // Marks all inside an outline say nothing.
    messages.clear();
    Click(UndoButton);
    Click(1025);
    Stroke({28, 86}, {62, 92});
    Click(PaintButton);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
}

// What Undo and Redo must bring back exactly.
struct EditorState {
    BitmapPtr picture;
    BitmapPtr mask;
    QImage overlay;
    QImage display;
    QImage result;
};

TEST_F(PaintCommand, ThreePaintsAreUndoneAndRedoneStepByStep)
{
    OpenAndMark(true);
    const auto state = [this] {
        return EditorState{CloneBitmap(Canvas().WorkingImage()), CloneBitmap(dialog->Mask()),
                           Canvas().OverlayLayer().copy(), Canvas().DisplayLayer().copy(),
                           Canvas().ResultLayer().copy()};
    };
    const auto expectState = [this](const EditorState& expected, const char* when) {
        EXPECT_TRUE(SameBytes(expected.picture.get(), Canvas().WorkingImage())) << when;
        EXPECT_TRUE(SameBytes(expected.mask.get(), dialog->Mask())) << when;
        EXPECT_EQ(expected.overlay, Canvas().OverlayLayer()) << when;
        EXPECT_EQ(expected.display, Canvas().DisplayLayer()) << when;
        EXPECT_EQ(expected.result, Canvas().ResultLayer()) << when;
    };
    // The state after each Paint and each stroke between them, in order.
    std::vector<EditorState> timeline;
    timeline.push_back(state());
    const QPoint strokes[3][2] = {{{40, 40}, {70, 52}}, {{90, 20}, {110, 30}}, {{10, 70}, {30, 90}}};
    for (int paint = 0; paint < 3; ++paint) {
        if (paint > 0) {
            Stroke(strokes[paint][0], strokes[paint][1]);
            timeline.push_back(state());
        }
        Click(PaintButton);
        ASSERT_FALSE(SameBytes(timeline.back().picture.get(), Canvas().WorkingImage()));
        timeline.push_back(state());
    }
    for (std::size_t step = timeline.size() - 1; step > 0; --step) {
        dialog->UndoCommand();
        expectState(timeline[step - 1], "undo");
    }
    for (std::size_t step = 1; step < timeline.size(); ++step) {
        dialog->RedoCommand();
        expectState(timeline[step], "redo");
    }
    dialog->RedoCommand();
    expectState(timeline.back(), "redo with no step left");

    // A Paint after an Undo drops the step that Redo would have replayed.
    const std::size_t steps = Canvas().History().Steps();
    dialog->UndoCommand();
    Click(PaintButton);
    const EditorState repainted = state();
    dialog->RedoCommand();
    expectState(repainted, "redo after a new Paint");
    EXPECT_EQ(Canvas().History().Steps(), steps);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
}

TEST_F(PaintCommand, EachStrokeIsAStepBesideThePaintsAndOpenStartsAfresh)
{
    StartDialog();
    Click(UndoButton);
    EXPECT_FALSE(Canvas().HasPicture());

    Open(TablePicture);
    const QImage blank = Canvas().DisplayLayer().copy();
    // A hole stroke, an outline, an eraser stroke across both, a Paint.
    std::vector<QImage> overlays{Canvas().OverlayLayer().copy()};
    std::vector<QImage> displays{blank};
    const auto keep = [&] {
        overlays.push_back(Canvas().OverlayLayer().copy());
        displays.push_back(Canvas().DisplayLayer().copy());
    };
    Stroke({40, 40}, {70, 52});
    keep();
    Click(1027);
    Stroke({20, 20}, {100, 60});
    keep();
    Click(1025);
    Stroke({50, 30}, {50, 70});
    keep();
    Click(1024);
    const BitmapPtr picture = CloneBitmap(Canvas().WorkingImage());
    Click(PaintButton);
    const BitmapPtr painted = CloneBitmap(Canvas().WorkingImage());
    ASSERT_EQ(Canvas().History().Steps(), 4u);

    Click(UndoButton);
    EXPECT_TRUE(SameBytes(picture.get(), Canvas().WorkingImage()));
    for (int step = 3; step >= 0; --step) {
        EXPECT_EQ(Canvas().OverlayLayer(), overlays[step]) << "undone to " << step;
        EXPECT_EQ(Canvas().DisplayLayer(), displays[step]) << "undone to " << step;
        Click(UndoButton);
    }
    EXPECT_FALSE(Canvas().History().CanUndo());
    for (int step = 1; step <= 3; ++step) {
        dialog->RedoCommand();
        EXPECT_EQ(Canvas().OverlayLayer(), overlays[step]) << "redone to " << step;
        EXPECT_EQ(Canvas().DisplayLayer(), displays[step]) << "redone to " << step;
    }
    dialog->RedoCommand();
    EXPECT_TRUE(SameBytes(painted.get(), Canvas().WorkingImage()));

    // A stroke after an Undo drops what Redo would have replayed.
    Click(UndoButton);
    Click(UndoButton);
    Stroke({90, 80}, {100, 85});
    EXPECT_FALSE(Canvas().History().CanRedo());
    EXPECT_EQ(Canvas().History().Steps(), 3u);

    // The steps of the first picture are out of reach of the next one.
    Open(TablePicture);
    EXPECT_FALSE(Canvas().History().CanUndo());
    Click(UndoButton);
    EXPECT_EQ(Canvas().DisplayLayer(), blank);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
}

TEST_F(PaintCommand, CmykPictureIsPaintedInCmykAndUndoneInBoth)
{
    const int inks[4] = {200, 30, 90, 10};
    BitmapPtr cmyk = MakeCmykBitmap(96, 64, inks);
    // Stripes give the fill something to choose from.
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x) {
            const int stripe[4] = {(x * 7) % 256, (y * 5) % 256, 90, (x + y) % 40};
            WritePixel(cmyk.get(), x, y, stripe, 4);
        }
    StartDialog();
    Open(SavePicture(cmyk.get(), PathOf(QStringLiteral("cmyk.tif"))));
    ASSERT_EQ(Canvas().ColorType(), FIC_CMYK);
    const BitmapPtr cmykBefore = CloneBitmap(Canvas().CmykImage());
    const BitmapPtr rgbBefore = CloneBitmap(Canvas().WorkingImage());
    Stroke({30, 30}, {50, 34});

    Click(PaintButton);
    ASSERT_FALSE(SameBytes(cmykBefore.get(), Canvas().CmykImage()));
    EXPECT_EQ(FreeImage_GetColorType(Canvas().CmykImage()), FIC_CMYK);
    // The RGB working image is the conversion of the filled CMYK picture.
    const BitmapPtr converted = CmykToRgb(Canvas().CmykImage());
    EXPECT_TRUE(SameBytes(converted.get(), Canvas().WorkingImage()));
    // What is saved is the filled CMYK picture.
    saveAnswer = PathOf(QStringLiteral("painted.png"));
    Click(1003);
    const BitmapPtr saved = Load(PathOf(QStringLiteral("painted.tif")));
    EXPECT_EQ(FreeImage_GetColorType(saved.get()), FIC_CMYK);
    EXPECT_TRUE(SameBytes(saved.get(), Canvas().CmykImage()));

    Click(UndoButton);
    EXPECT_TRUE(SameBytes(cmykBefore.get(), Canvas().CmykImage()));
    EXPECT_TRUE(SameBytes(rgbBefore.get(), Canvas().WorkingImage()));
}

// Paint redraws only around the hole and the strokes; every layer must still
// show what a full redraw would, after Paint and after Undo and Paint again.
TEST_F(PaintCommand, LayersMatchAFullRedrawAfterPaintAndUndo)
{
    BitmapPtr picture = MakeBitmap(400, 300, 24);
    PaintTexture(picture.get(), 7);
    StartDialog();
    Open(SavePicture(picture.get(), PathOf(QStringLiteral("texture.bmp"))));
    // 1:1, as the strokes are placed.
    Click(1030);
    Find<QAbstractButton>(1044)->click();
    ASSERT_TRUE(dialog->SmoothSeam());
    Stroke({40, 40}, {70, 52});
    // An outline around everything, most of it far from the hole.
    Click(1027);
    Stroke({20, 20}, {390, 20});
    Stroke({390, 20}, {390, 290});
    Stroke({390, 290}, {20, 290});
    Stroke({20, 290}, {20, 20});
    Click(1024);
    const BitmapPtr before = CloneBitmap(Canvas().WorkingImage());

    const auto expectFullRedraw = [&](const char* when) {
        QImage full = Canvas().ResultLayer().copy();
        full.fill(Qt::black);
        RenderBitmapIntoLayer(Canvas().WorkingImage(), full);
        EXPECT_EQ(Canvas().ResultLayer(), full) << when;
        EXPECT_EQ(Canvas().DisplayLayer(), full) << when;
        EXPECT_EQ(CountColour(Canvas().OverlayLayer(), qRgb(0, 0, 0)), 400 * 300) << when;
    };
    Click(PaintButton);
    ASSERT_FALSE(SameBytes(before.get(), Canvas().WorkingImage()));
    expectFullRedraw("after Paint");
    Click(UndoButton);
    Click(PaintButton);
    expectFullRedraw("after Undo and Paint");
}

// The view of the picture as opened shares the first result's pixels: Paint
// must leave it as opened, and opening another picture must replace it.
TEST_F(PaintCommand, BeforeViewKeepsThePictureAsOpenedAfterPaint)
{
    BitmapPtr picture = MakeBitmap(200, 150, 24);
    PaintTexture(picture.get(), 3);
    StartDialog();
    Open(SavePicture(picture.get(), PathOf(QStringLiteral("texture.bmp"))));
    // 1:1, as the strokes are placed.
    Click(1030);
    const QImage opened = Canvas().grab().toImage();
    Stroke({40, 40}, {70, 52});
    Click(PaintButton);
    ASSERT_FALSE(SameBytes(picture.get(), Canvas().WorkingImage()));
    const QImage painted = Canvas().grab().toImage();
    EXPECT_NE(painted, opened);
    Canvas().ShowOriginal(true);
    EXPECT_EQ(Canvas().grab().toImage(), opened);
    Canvas().ShowOriginal(false);
    EXPECT_EQ(Canvas().grab().toImage(), painted);

    PaintTexture(picture.get(), 4);
    Open(SavePicture(picture.get(), PathOf(QStringLiteral("other.bmp"))));
    const QImage other = Canvas().grab().toImage();
    EXPECT_NE(other, opened);
    Canvas().ShowOriginal(true);
    EXPECT_EQ(Canvas().grab().toImage(), other);
}

TEST_F(PaintCommand, PatchSizeAndSeamSettingsReachTheEngine)
{
    OpenAndMark();
    auto* patch = Find<QSlider>(1038);
    patch->triggerAction(QAbstractSlider::SliderToMinimum);
    Find<QAbstractButton>(1044)->click();
    ASSERT_EQ(dialog->PatchSize(), 3);
    ASSERT_TRUE(dialog->SmoothSeam());
    ASSERT_TRUE(Canvas().OverlayLayer().save(PathOf(QStringLiteral("overlay.png"))));
    Click(PaintButton);

    const QString result = PathOf(QStringLiteral("cli.png"));
    const std::string command = std::string("'" QUENLO_INPAINT_TOOL "' --quiet --patch-size 3 --smooth-seam '") +
                                TablePicture.toStdString() + "' '" + result.toStdString() + "' --overlay '" +
                                PathOf(QStringLiteral("overlay.png")).toStdString() + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
    EXPECT_TRUE(SameBytes(Load(result).get(), Canvas().WorkingImage()));
}

// The same command line as the dialog's strokes, with options; the result's bytes.
BitmapPtr CommandLineResult(const QString& overlay, const QString& result, const std::string& options)
{
    const std::string command = std::string("'" QUENLO_INPAINT_TOOL "' --quiet ") + options + " '" +
                                TablePicture.toStdString() + "' '" + result.toStdString() + "' --overlay '" +
                                overlay.toStdString() + "'";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
    return Load(result);
}

TEST_F(PaintCommand, StructureMethodReachesTheFillAndIsUndoneAndRedoneAlike)
{
    OpenAndMark();
    Find<QComboBox>(1060)->setCurrentIndex(1);
    ASSERT_EQ(dialog->Method(), FillMethod::Structure);
    ASSERT_TRUE(Canvas().OverlayLayer().save(PathOf(QStringLiteral("overlay.png"))));
    const BitmapPtr before = CloneBitmap(Canvas().WorkingImage());
    Click(PaintButton);
    const BitmapPtr painted = CloneBitmap(Canvas().WorkingImage());
    ASSERT_FALSE(SameBytes(before.get(), painted.get()));
    EXPECT_TRUE(SameBytes(CommandLineResult(PathOf(QStringLiteral("overlay.png")), PathOf(QStringLiteral("cli.png")),
                                            "--method structure")
                              .get(),
                          painted.get()));
    Click(UndoButton);
    EXPECT_TRUE(SameBytes(before.get(), Canvas().WorkingImage()));
    dialog->RedoCommand();
    EXPECT_TRUE(SameBytes(painted.get(), Canvas().WorkingImage()));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
}

} // namespace
