// SPDX-License-Identifier: MIT
// A Paint followed in the progress box: Cancel brings back exactly the state
// before it, a Paint run to its end is the same as one never followed, and
// no other command starts while the engine runs.
#include "controls/progress_box.h"
#include "deep_pictures.h"
#include "editor_fixture.h"
#include "picture/picture_writer.h"
#include "test_bitmaps.h"
#include "test_pictures.h"

#include <QFile>
#include <QImage>

#include <chrono>
#include <functional>
#include <string>

namespace {

using namespace std::chrono_literals;

constexpr int PaintButton = 1042;
constexpr int UndoButton = 1043;

const QString TablePicture = QStringLiteral(QUENLO_TEST_DATA_DIR "/coffee_table.png");

BitmapPtr CloneOrNull(FIBITMAP* bitmap)
{
    return bitmap != nullptr ? CloneBitmap(bitmap) : BitmapPtr();
}

bool SameOrBothNull(FIBITMAP* a, FIBITMAP* b)
{
    return (a == nullptr && b == nullptr) || (a != nullptr && b != nullptr && SameBytes(a, b));
}

// Everything a Paint may touch, and what tells whether it happened.
struct EditorState {
    BitmapPtr picture;
    BitmapPtr cmyk;
    BitmapPtr fullDepth;
    BitmapPtr mask;
    QImage overlay;
    QImage display;
    QImage result;
    std::size_t steps = 0;
    bool canUndo = false;
    bool canRedo = false;
    int revision = 0;
    QString title;
};

class PaintCancel : public EditorTest {
protected:
    void TearDown() override
    {
        SetProgressBoxHook({});
        EditorTest::TearDown();
    }

    EditorState State() const
    {
        return {CloneOrNull(Canvas().WorkingImage()), CloneOrNull(Canvas().CmykImage()),
                CloneOrNull(Canvas().FullDepthImage()), CloneOrNull(dialog->Mask()),
                Canvas().OverlayLayer().copy(), Canvas().DisplayLayer().copy(), Canvas().ResultLayer().copy(),
                Canvas().History().Steps(), Canvas().History().CanUndo(), Canvas().History().CanRedo(),
                Canvas().Revision(), dialog->windowTitle()};
    }

    void ExpectState(const EditorState& expected, const std::string& when) const
    {
        ExpectLayers(expected, when);
        EXPECT_EQ(expected.steps, Canvas().History().Steps()) << when;
        EXPECT_EQ(expected.canUndo, Canvas().History().CanUndo()) << when;
        EXPECT_EQ(expected.canRedo, Canvas().History().CanRedo()) << when;
        EXPECT_EQ(expected.revision, Canvas().Revision()) << when;
        EXPECT_EQ(expected.title, dialog->windowTitle()) << when;
    }

    void ExpectLayers(const EditorState& expected, const std::string& when) const
    {
        EXPECT_TRUE(SameOrBothNull(expected.picture.get(), Canvas().WorkingImage())) << when;
        EXPECT_TRUE(SameOrBothNull(expected.cmyk.get(), Canvas().CmykImage())) << when;
        EXPECT_TRUE(SameOrBothNull(expected.fullDepth.get(), Canvas().FullDepthImage())) << when;
        EXPECT_TRUE(SameOrBothNull(expected.mask.get(), dialog->Mask())) << when;
        EXPECT_EQ(expected.overlay, Canvas().OverlayLayer()) << when;
        EXPECT_EQ(expected.display, Canvas().DisplayLayer()) << when;
        EXPECT_EQ(expected.result, Canvas().ResultLayer()) << when;
    }

    // Paints with the box's user doing what the hook does.
    void PaintWith(std::function<bool(CJobWatch&)> user)
    {
        SetProgressBoxHook(std::move(user));
        Click(PaintButton);
        SetProgressBoxHook({});
    }
};

// The moments a user may press Cancel: before the engine got going, while
// it fills, and as it ends (when the picture has already been written).
const struct {
    const char* name;
    std::function<bool(CJobWatch&)> user;
} CancelMoments[] = {
    {"at once", [](CJobWatch&) { return true; }},
    {"while filling",
     [](CJobWatch& job) {
         while (job.Fraction() == 0.0 && !job.WaitFor(1ms)) {
         }
         return true;
     }},
    {"as the job ends",
     [](CJobWatch& job) {
         while (!job.WaitFor(1s)) {
         }
         return true;
     }},
};

} // namespace

TEST_F(PaintCancel, BringsBackEveryLayerTheHistoryAndTheModifiedMark)
{
    StartDialog();
    Open(TablePicture);
    ASSERT_TRUE(Canvas().HasPicture());
    // A cancelled Paint leaves the stroke the last step.
    Stroke({40, 40}, {70, 52});
    for (const auto& moment : CancelMoments) {
        const EditorState before = State();
        PaintWith(moment.user);
        ExpectState(before, std::string("first Paint cancelled ") + moment.name);
        Click(UndoButton);
        EXPECT_FALSE(Canvas().HasStrokes()) << moment.name;
        dialog->RedoCommand();
        ExpectState(before, std::string("Undo and Redo after the first Paint cancelled ") + moment.name);
    }

    // One Paint done and undone leaves a step to redo; a cancelled Paint keeps it.
    Click(PaintButton);
    const EditorState painted = State();
    Click(UndoButton);
    for (const auto& moment : CancelMoments) {
        const EditorState before = State();
        PaintWith(moment.user);
        ExpectState(before, std::string("Paint cancelled ") + moment.name);
    }
    dialog->RedoCommand();
    EXPECT_TRUE(SameBytes(painted.picture.get(), Canvas().WorkingImage()));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
}

TEST_F(PaintCancel, BringsBackCmykAndFullDepthPictures)
{
    const int inks[4] = {200, 30, 90, 10};
    BitmapPtr cmyk = MakeCmykBitmap(96, 64, inks);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x)
            for (int k = 0; k < 3; ++k)
                FreeImage_GetScanLine(cmyk.get(), y)[x * 4 + k] = static_cast<BYTE>((x * 7 + y * 5 * k) % 256);
    const BitmapPtr deep = MakeDeepPicture(FIT_RGB16, 96, 64, 9);
    std::string error;
    const QString deepPath = PathOf(QStringLiteral("deep.png"));
    ASSERT_TRUE(WritePicture(deep.get(), QFile::encodeName(deepPath).toStdString(), error)) << error;
    StartDialog();
    for (const QString& path : {SavePicture(cmyk.get(), PathOf(QStringLiteral("cmyk.tif"))), deepPath}) {
        SCOPED_TRACE(path.toStdString());
        Open(path);
        ASSERT_TRUE(Canvas().CmykImage() != nullptr || Canvas().FullDepthImage() != nullptr);
        Stroke({30, 30}, {50, 34});
        const EditorState before = State();
        PaintWith(CancelMoments[2].user);
        ExpectState(before, "cancelled as the job ended");
        Click(PaintButton);
        EXPECT_FALSE(SameBytes(before.picture.get(), Canvas().WorkingImage()));
    }
}

TEST_F(PaintCancel, PaintRunToItsEndInTheBoxIsThePaintWithoutIt)
{
    StartDialog();
    Open(TablePicture);
    Stroke({40, 40}, {70, 52});
    const EditorState before = State();
    Click(PaintButton);
    const EditorState unfollowed = State();
    Click(UndoButton);
    ExpectLayers(before, "undone");

    double lastFraction = 0.0;
    PaintWith([&](CJobWatch& job) {
        while (!job.WaitFor(1s)) {
        }
        lastFraction = job.Fraction();
        return false;
    });
    EXPECT_EQ(lastFraction, 1.0);
    ExpectLayers(unfollowed, "painted in the box");
    EXPECT_EQ(Canvas().History().Steps(), 2u) << "the stroke and the Paint";
    EXPECT_TRUE(Canvas().IsModified());
}

TEST_F(PaintCancel, NoOtherCommandRunsWhileTheEngineDoes)
{
    StartDialog();
    Open(TablePicture);
    Stroke({40, 40}, {70, 52});
    Click(PaintButton);
    Stroke({90, 20}, {110, 30});
    const EditorState before = State();
    openAnswer = TablePicture;
    saveAnswer = PathOf(QStringLiteral("saved.png"));
    const int fileDialogs = saveDialogs;

    // The close asks its question once the Paint has stopped; the user stays.
    saveChoice = SaveAnswer::Cancel;
    PaintWith([this](CJobWatch& job) {
        EXPECT_TRUE(dialog->PaintRunning());
        dialog->OpenCommand();
        dialog->OpenPictureFile(TablePicture);
        EXPECT_FALSE(dialog->SaveImage());
        dialog->UndoCommand();
        dialog->RedoCommand();
        dialog->PaintCommand();
        // Closing the window stops the Paint instead.
        EXPECT_FALSE(dialog->close());
        while (!job.WaitFor(1s)) {
        }
        return false;
    });
    EXPECT_FALSE(dialog->PaintRunning());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(saveDialogs, fileDialogs);
    EXPECT_FALSE(QFile::exists(saveAnswer));
    ExpectState(before, "Paint stopped by closing the window");
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
    EXPECT_EQ(saveQuestions.size(), 1);
}

TEST_F(PaintCancel, ClosingDuringPaintStopsItThenClosesAsAnyClose)
{
    StartDialog();
    Open(TablePicture);
    Stroke({40, 40}, {70, 52});
    Click(PaintButton);
    Stroke({90, 20}, {110, 30});
    const EditorState before = State();
    for (const auto& moment : CancelMoments) {
        PaintWith([&](CJobWatch& job) {
            dialog->close();
            return moment.user(job);
        });
        ExpectState(before, std::string("closed ") + moment.name);
        ASSERT_FALSE(dialog->isVisible()) << moment.name;
        EXPECT_EQ(saveQuestions.size(), 1) << moment.name;
        saveQuestions.clear();
        dialog->show();
    }
}
