// SPDX-License-Identifier: MIT
// A picture file that crashes its decoder or makes it loop for ever, opened
// in the editor: one message, and the picture, the strokes and what Undo
// brings back stay exactly as they were.
#include "editor_fixture.h"
#include "test_bitmaps.h"

#include <QImage>

namespace {

constexpr int PaintButton = 1042;
constexpr int UndoButton = 1043;

class EditorSurvives : public EditorTest {};

} // namespace

TEST_F(EditorSurvives, ACrashingOrHangingFileLeavesPictureStrokesAndUndoAsTheyWere)
{
    StartDialog();
    Open(QStringLiteral(QUENLO_TEST_DATA_DIR "/coffee_table.png"));
    ASSERT_TRUE(Canvas().HasPicture());
    const BitmapPtr original = CloneBitmap(Canvas().WorkingImage());
    Stroke({40, 40}, {70, 52});
    Click(PaintButton);
    Stroke({90, 20}, {110, 30});
    const BitmapPtr painted = CloneBitmap(Canvas().WorkingImage());
    const QImage overlay = Canvas().OverlayLayer();
    const QImage display = Canvas().DisplayLayer();
    ASSERT_FALSE(SameBytes(original.get(), painted.get()));

    for (const char* name : {"crash_cut_short.psd", "hang_cut_short.iff"}) {
        SCOPED_TRACE(name);
        const QString path = QStringLiteral(QUENLO_TEST_DATA_DIR "/hostile/") + name;
        messages.clear();
        Open(path);
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].startsWith("File " + path + " could not be opened: the file is damaged or not a picture"))
            << messages[0].toStdString();
        EXPECT_TRUE(SameBytes(painted.get(), Canvas().WorkingImage()));
        EXPECT_EQ(Canvas().OverlayLayer(), overlay);
        EXPECT_EQ(Canvas().DisplayLayer(), display);
    }
    // Undo still goes back, past the stroke, to the picture before the Paint.
    Click(UndoButton);
    Click(UndoButton);
    EXPECT_TRUE(SameBytes(original.get(), Canvas().WorkingImage()));
}
