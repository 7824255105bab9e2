// SPDX-License-Identifier: MIT
// Work is never dropped unasked: Open, a failed open, the close box and Exit
// with a painted picture, answered Save, Discard or Cancel.
#include "editor_fixture.h"
#include "test_bitmaps.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>

namespace {

const QString TablePicture = QStringLiteral(QUENLO_TEST_DATA_DIR "/coffee_table.png");
const QString BrickPicture = QStringLiteral(QUENLO_TEST_DATA_DIR "/brick_wall.png");

class SavePrompt : public EditorTest {
protected:
    // The table picture painted once: a change the user has not saved.
    void OpenAndPaint()
    {
        StartDialog();
        Open(TablePicture);
        ASSERT_TRUE(Canvas().HasPicture());
        Stroke({40, 40}, {70, 52});
        Click(1042);
        ASSERT_TRUE(Canvas().IsModified());
    }
    QString Question() const { return QStringLiteral("Save changes to coffee_table.png before closing?"); }
    void Exit() { dialog->findChild<QAction*>(QStringLiteral("32771"))->trigger(); }
};

TEST_F(SavePrompt, StrokesNotYetPaintedAreUnsavedWork)
{
    StartDialog();
    Open(TablePicture);
    Stroke({40, 40}, {70, 52});
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("coffee_table.png[*] - Quenlo"));
    EXPECT_TRUE(dialog->isWindowModified());
    saveChoice = SaveAnswer::Cancel;
    Open(BrickPicture);
    EXPECT_EQ(saveQuestions, QStringList{Question()});
    EXPECT_EQ(Text(1032), TablePicture);
    // The stroke undone, nothing is left to lose.
    Click(1043);
    EXPECT_FALSE(dialog->isWindowModified());
    Open(BrickPicture);
    Exit();
    EXPECT_EQ(saveQuestions.size(), 1);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(SavePrompt, CancelOnOpenKeepsEverything)
{
    OpenAndPaint();
    EXPECT_TRUE(dialog->isWindowModified());
    const BitmapPtr painted = CloneBitmap(Canvas().WorkingImage());
    saveChoice = SaveAnswer::Cancel;
    Open(BrickPicture);
    EXPECT_EQ(saveQuestions, QStringList{Question()});
    EXPECT_EQ(Canvas().OpenedFileName(), TablePicture);
    EXPECT_TRUE(SameBytes(painted.get(), Canvas().WorkingImage()));
    EXPECT_TRUE(Canvas().IsModified());
    EXPECT_EQ(saveDialogs, 0);
}

TEST_F(SavePrompt, DiscardOnOpenOpensTheOtherPicture)
{
    OpenAndPaint();
    Open(BrickPicture);
    EXPECT_EQ(saveQuestions.size(), 1);
    EXPECT_EQ(Canvas().OpenedFileName(), BrickPicture);
    EXPECT_FALSE(Canvas().IsModified());
    EXPECT_FALSE(dialog->isWindowModified());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("brick_wall.png[*] - Quenlo"));
}

TEST_F(SavePrompt, SaveOnOpenGoesOnOnlyWhenTheSaveSucceeded)
{
    OpenAndPaint();
    saveChoice = SaveAnswer::Save;
    // The save dialog cancelled: nothing is saved, nothing is opened.
    Open(BrickPicture);
    EXPECT_EQ(saveDialogs, 1);
    EXPECT_EQ(Canvas().OpenedFileName(), TablePicture);
    EXPECT_TRUE(Canvas().IsModified());

    saveAnswer = PathOf(QStringLiteral("filled.tif"));
    Open(BrickPicture);
    EXPECT_TRUE(QFile::exists(saveAnswer));
    EXPECT_EQ(Canvas().OpenedFileName(), BrickPicture);
    EXPECT_EQ(saveQuestions.size(), 2);
}

TEST_F(SavePrompt, SavingClearsTheMarkAndUndoSetsItAgain)
{
    OpenAndPaint();
    saveAnswer = PathOf(QStringLiteral("filled.tif"));
    Click(1003);
    EXPECT_FALSE(dialog->isWindowModified());
    Click(1043);
    EXPECT_TRUE(dialog->isWindowModified());
    Exit();
    EXPECT_EQ(saveQuestions.size(), 1) << "the undone picture differs from the saved one";
}

TEST_F(SavePrompt, FailedOpenAsksAndStillChangesNothing)
{
    OpenAndPaint();
    Stroke({10, 10}, {20, 12});
    const QImage overlay = Canvas().OverlayLayer().copy();
    const BitmapPtr painted = CloneBitmap(Canvas().WorkingImage());
    FIBITMAP* const mask = dialog->Mask();
    const QString missing = PathOf(QStringLiteral("gone.png"));
    Open(missing);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("File %1 could not be opened: ").arg(missing)));
    EXPECT_EQ(Text(1032), TablePicture);
    EXPECT_EQ(Canvas().OverlayLayer(), overlay);
    EXPECT_TRUE(SameBytes(painted.get(), Canvas().WorkingImage()));
    EXPECT_EQ(dialog->Mask(), mask);
    EXPECT_TRUE(Canvas().IsModified());
    // Undo still brings back the picture before the Paint, past the stroke.
    Click(1043);
    Click(1043);
    EXPECT_FALSE(SameBytes(painted.get(), Canvas().WorkingImage()));
}

TEST_F(SavePrompt, CloseBoxAndExitAskAndCancelKeepsTheWindow)
{
    OpenAndPaint();
    saveChoice = SaveAnswer::Cancel;
    QCloseEvent closeBox;
    QApplication::sendEvent(dialog.get(), &closeBox);
    EXPECT_FALSE(closeBox.isAccepted());
    Exit();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(saveQuestions, (QStringList{Question(), Question()}));

    saveChoice = SaveAnswer::Discard;
    Exit();
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(SavePrompt, SaveOnExitWritesThePictureAndCloses)
{
    OpenAndPaint();
    saveChoice = SaveAnswer::Save;
    saveAnswer = PathOf(QStringLiteral("kept.png"));
    Exit();
    EXPECT_TRUE(QFileInfo::exists(PathOf(QStringLiteral("kept.tif"))));
    EXPECT_FALSE(dialog->isVisible());
}

} // namespace
