// SPDX-License-Identifier: MIT
// The main dialog's controls, layout, tool settings and zoom.
#include "app/dialog_units.h"
#include "editor_fixture.h"
#include "test_pictures.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMap>
#include <QSlider>
#include <QTest>
#include <QWheelEvent>

namespace {

using ViewerDialog = EditorTest;

QString SmallPicture(const QString& path)
{
    const int grey[4] = {90, 90, 90, 0};
    return SavePicture(MakeBitmap(64, 48, 24, grey).get(), path);
}

TEST(DialogUnits, EachEdgeIsRoundedOnItsOwn)
{
    const DialogBaseUnits base{6, 13};
    // 7 × 6 / 4 = 10.5 and 31 × 6 / 4 = 46.5 round up; 6 × 13 / 8 = 9.75,
    // 25 × 13 / 8 = 40.625.
    EXPECT_EQ(DialogUnitsToPixels(QRect(7, 6, 24, 19), base), QRect(11, 10, 36, 31));
    EXPECT_EQ(DialogUnitsToPixels(QRect(63, 6, 1, 20), base), QRect(95, 10, 1, 32));
}

TEST_F(ViewerDialog, ControlsStandWhereTheTemplatePutsThem)
{
    StartDialog();
    const DialogBaseUnits base = BaseUnitsOf(dialog->font());
    // Controls that the layout never moves, and the hidden ones.
    const QMap<int, QRect> places = {{1001, {7, 6, 24, 19}},    {1024, {70, 6, 22, 19}},
                                     {1033, {196, 12, 118, 11}}, {1032, {7, 43, 240, 10}},
                                     {1023, {304, 267, 75, 10}}, {1031, {7, 274, 372, 8}}};
    for (auto place = places.begin(); place != places.end(); ++place)
        EXPECT_EQ(Find<QWidget>(place.key())->geometry(), DialogUnitsToPixels(place.value(), base)) << place.key();
    for (int hidden : {1026, 1023, 1002, 1028, 1029, 1031, 1035, 1036})
        EXPECT_TRUE(Find<QWidget>(hidden)->isHidden()) << hidden;
    for (int shown : {1001, 1003, 1027, 1061, 1025, 1033, 1037, 1030, 1021, 1022, 1038, 1044, 1042, 1043, 1024, 1034,
                      1053, 1020, 1032, 1054, 1056, 1055, 1039, 1059, 1060, 9999})
        EXPECT_TRUE(Find<QWidget>(shown)->isVisible()) << shown;
    // The canvas takes the hidden placeholder's place (before any resize).
    EXPECT_EQ(Find<QWidget>(9999)->pos(), Find<QWidget>(1002)->pos());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Quenlo"));
    EXPECT_TRUE(dialog->windowState() & Qt::WindowMaximized);
}

TEST_F(ViewerDialog, StartsWithItsReadOutsAndTheBrushSelected)
{
    StartDialog();
    EXPECT_EQ(Text(1032), QStringLiteral("File name"));
    EXPECT_EQ(Text(1020), QString());
    EXPECT_EQ(Text(1034), QStringLiteral("10 px"));
    EXPECT_EQ(Text(1039), QStringLiteral("32 px"));
    EXPECT_EQ(Text(1031), QString());
    EXPECT_TRUE(Find<QAbstractButton>(1024)->isChecked());
    EXPECT_FALSE(Find<QAbstractButton>(1027)->isChecked());
    EXPECT_TRUE(Find<QAbstractButton>(1035)->isChecked());
    EXPECT_FALSE(Find<QCheckBox>(1044)->isChecked());
    EXPECT_FALSE(Find<QCheckBox>(1023)->isChecked());
    auto* list = Find<QComboBox>(1026);
    ASSERT_EQ(list->count(), 10);
    EXPECT_EQ(list->itemText(0), QStringLiteral("1 px"));
    EXPECT_EQ(list->itemText(9), QStringLiteral("10 px"));
    EXPECT_EQ(list->currentIndex(), 9);
    EXPECT_EQ(Canvas().BrushSize(), 10);
    EXPECT_EQ(Canvas().CurrentTool(), ToolHoleBrush);
    EXPECT_EQ(dialog->PatchSize(), 32);
    EXPECT_FALSE(dialog->SmoothSeam());
    EXPECT_EQ(dialog->Method(), FillMethod::Patches);
}

TEST_F(ViewerDialog, EnterAndEscapeLeaveItOpenAndChangeNothing)
{
    StartDialog();
    Open(SmallPicture(PathOf(QStringLiteral("p.png"))));
    for (int id : {1001, 1042, 1044}) {
        Find<QWidget>(id)->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(QApplication::focusWidget(), key);
    }
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
    EXPECT_FALSE(Find<QCheckBox>(1044)->isChecked());
}

TEST_F(ViewerDialog, EnlargingMovesTheRightHandAndBottomControls)
{
    StartDialog();
    QWidget* client = Find<QWidget>(9999)->parentWidget();
    const QSize clientBefore = client->size();
    QMap<int, QRect> before;
    for (int id : {1037, 1030, 1021, 1022, 1053, 1020, 1054, 1055, 1038, 1039, 1044, 1059, 1060, 1042, 1043, 1001, 1032,
                   1033, 1026, 9999, 1056})
        before[id] = Find<QWidget>(id)->geometry();
    dialog->resize(dialog->size() + QSize(100, 50));
    QApplication::processEvents();
    ASSERT_EQ(client->size(), clientBefore + QSize(100, 50));

    for (int id : {1037, 1030, 1021, 1022, 1053, 1020})
        EXPECT_EQ(Find<QWidget>(id)->geometry(), before[id].translated(100, 0)) << id;
    for (int id : {1054, 1055, 1038, 1039, 1044, 1059, 1060, 1042, 1043})
        EXPECT_EQ(Find<QWidget>(id)->geometry(), before[id].translated(100, 50)) << id;
    for (int id : {1001, 1032, 1033, 1026})
        EXPECT_EQ(Find<QWidget>(id)->geometry(), before[id]) << id;
    EXPECT_EQ(Find<QWidget>(9999)->geometry(), before[9999].adjusted(0, 0, 100, 50));
    const QRect line = Find<QWidget>(1056)->geometry();
    EXPECT_EQ(line.topLeft(), before[1056].topLeft());
    EXPECT_EQ(line.height(), before[1056].height());
    EXPECT_EQ(line.x() + line.width(), client->width() - 10);
}

TEST_F(ViewerDialog, MinimisingAndRestoringMovesNothing)
{
    StartDialog();
    QWidget* client = Find<QWidget>(9999)->parentWidget();
    const QSize size = client->size();
    const QRect paint = Find<QWidget>(1042)->geometry();
    const QRect canvas = Find<QWidget>(9999)->geometry();

    dialog->showMinimized();
    // A minimised window's client area may shrink to nothing.
    client->resize(0, 0);
    dialog->showMaximized();
    client->resize(size);
    QApplication::processEvents();
    EXPECT_EQ(Find<QWidget>(1042)->geometry(), paint);
    EXPECT_EQ(Find<QWidget>(9999)->geometry(), canvas);
}

TEST_F(ViewerDialog, ShrinkingToNothingAndBackRestoresTheCanvas)
{
    StartDialog();
    const QSize size = dialog->size();
    const QRect canvas = Find<QWidget>(9999)->geometry();
    dialog->resize(20, 20);
    dialog->resize(size);
    QApplication::processEvents();
    EXPECT_EQ(Find<QWidget>(9999)->geometry(), canvas);
}

TEST_F(ViewerDialog, SmallestWindowKeepsEveryControlInside)
{
    StartDialog();
    dialog->setWindowState(Qt::WindowNoState);
    dialog->resize(420, 360);
    QApplication::processEvents();
    QWidget* client = Find<QWidget>(9999)->parentWidget();
    for (QWidget* control : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!control->isVisible())
            continue;
        EXPECT_TRUE(client->rect().contains(control->geometry())) << control->objectName().toStdString();
    }
}

TEST_F(ViewerDialog, ToolButtonsActAsOneGroup)
{
    StartDialog();
    const auto checked = [this] {
        return std::vector<bool>{Find<QAbstractButton>(1024)->isChecked(), Find<QAbstractButton>(1027)->isChecked(),
                                 Find<QAbstractButton>(1061)->isChecked(), Find<QAbstractButton>(1025)->isChecked()};
    };
    Click(1027);
    EXPECT_EQ(Canvas().CurrentTool(), ToolSourceOutline);
    EXPECT_EQ(checked(), (std::vector<bool>{false, true, false, false}));
    Click(1027);
    EXPECT_EQ(Canvas().CurrentTool(), ToolSourceOutline);
    EXPECT_EQ(checked(), (std::vector<bool>{false, true, false, false}));
    Click(1061);
    EXPECT_EQ(Canvas().CurrentTool(), ToolGuide);
    EXPECT_EQ(checked(), (std::vector<bool>{false, false, true, false}));
    Click(1025);
    EXPECT_EQ(Canvas().CurrentTool(), ToolEraser);
    EXPECT_EQ(checked(), (std::vector<bool>{false, false, false, true}));
    Click(1024);
    EXPECT_EQ(Canvas().CurrentTool(), ToolHoleBrush);
    EXPECT_EQ(checked(), (std::vector<bool>{true, false, false, false}));

    dialog->SelectShape(BrushRound);
    EXPECT_EQ(Canvas().CurrentBrushShape(), BrushRound);
    EXPECT_FALSE(Find<QAbstractButton>(1035)->isChecked());
    EXPECT_TRUE(Find<QAbstractButton>(1036)->isChecked());
}

TEST_F(ViewerDialog, SlidersReachTheirEndsAndGiveTheFocusToTheCanvas)
{
    StartDialog();
    auto* brush = Find<QSlider>(1033);
    auto* patch = Find<QSlider>(1038);
    brush->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(Canvas().BrushSize(), 1);
    EXPECT_EQ(Text(1034), QStringLiteral("1 px"));
    EXPECT_EQ(QApplication::focusWidget(), &Canvas());
    brush->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(Canvas().BrushSize(), 100);
    EXPECT_EQ(Text(1034), QStringLiteral("100 px"));

    patch->setFocus();
    QTest::keyClick(patch, Qt::Key_Home);
    EXPECT_EQ(dialog->PatchSize(), 3);
    EXPECT_EQ(Text(1039), QStringLiteral("3 px"));
    EXPECT_EQ(QApplication::focusWidget(), &Canvas());
    patch->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(dialog->PatchSize(), 128);
    EXPECT_EQ(Text(1039), QStringLiteral("128 px"));
    patch->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(dialog->PatchSize(), 124);
}

// The method list sits in the settings group between the seam box and
// Paint, for the mouse and the keyboard alike; the wheel over it zooms.
TEST_F(ViewerDialog, MethodListIsReachedByTabAndKeysAndLeavesTheWheelToZoom)
{
    StartDialog();
    auto* methods = Find<QComboBox>(1060);
    ASSERT_EQ(methods->count(), 2);
    EXPECT_TRUE(Find<QWidget>(1054)->geometry().contains(methods->geometry()));
    EXPECT_FALSE(methods->geometry().intersects(Find<QWidget>(1042)->geometry()));

    Find<QWidget>(1044)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), methods);
    QTest::keyClick(methods, Qt::Key_Down);
    EXPECT_EQ(dialog->Method(), FillMethod::Structure);
    QTest::keyClick(methods, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Find<QWidget>(1042));

    Open(SmallPicture(PathOf(QStringLiteral("p.png"))));
    const double zoom = Canvas().GetZoom();
    const QPointF global = methods->mapToGlobal(QPointF(methods->rect().center()));
    QWheelEvent turn(methods->mapFromGlobal(global), global, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(methods, &turn);
    EXPECT_EQ(dialog->Method(), FillMethod::Structure);
    EXPECT_NE(Canvas().GetZoom(), zoom);
}

TEST_F(ViewerDialog, HiddenListChangesTheBrushSizeAlone)
{
    StartDialog();
    Find<QComboBox>(1026)->setCurrentIndex(2);
    EXPECT_EQ(Canvas().BrushSize(), 3);
    EXPECT_EQ(Find<QSlider>(1033)->value(), 10);
    EXPECT_EQ(Text(1034), QStringLiteral("10 px"));
}

TEST_F(ViewerDialog, WheelZoomsOneStepPerTurn)
{
    StartDialog();
    // Larger than the view, so that the steps around 1:1 are plain ones.
    const int grey[4] = {90, 90, 90, 0};
    Open(SavePicture(MakeBitmap(2000, 1500, 24, grey).get(), PathOf(QStringLiteral("large.bmp"))));
    const auto wheel = [this](int delta) {
        const QPointF global = Canvas().mapToGlobal(QPointF(Canvas().rect().center()));
        QWheelEvent event(dialog->mapFromGlobal(global), global, QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        // The canvas leaves the wheel to the dialog; only events from the
        // window system travel up, so the test hands it over directly.
        QApplication::sendEvent(dialog.get(), &event);
    };
    Click(1030);
    wheel(240);
    EXPECT_EQ(Canvas().GetZoom(), 2.0);
    EXPECT_EQ(Text(1020), QStringLiteral("2.00"));
    wheel(0);
    EXPECT_EQ(Canvas().GetZoom(), 1.0);
    wheel(-120);
    EXPECT_DOUBLE_EQ(Canvas().GetZoom(), 0.9);
    EXPECT_EQ(Text(1020), QStringLiteral("0.90"));
}

TEST_F(ViewerDialog, FittedZoomAndCursorFollowTheWindowWithoutAZoomCommand)
{
    StartDialog();
    const int grey[4] = {90, 90, 90, 0};
    Open(SavePicture(MakeBitmap(3000, 2000, 24, grey).get(), PathOf(QStringLiteral("large.png"))));
    ASSERT_TRUE(Canvas().IsFitMode());
    Canvas().SetBrushSize(100);
    for (const QSize size : {QSize(900, 700), QSize(1300, 1000)}) {
        dialog->setWindowState(Qt::WindowNoState);
        dialog->resize(size);
        QCoreApplication::processEvents();
        Canvas().repaint();
        EXPECT_EQ(Text(1020), QString::asprintf("%.2f", Canvas().GetZoom())) << size.width();
        EXPECT_EQ(Canvas().cursor().pixmap().width(), std::max(10, static_cast<int>(100 * Canvas().GetZoom())));
    }
}

TEST_F(ViewerDialog, ZoomButtonsShowTheNewZoom)
{
    StartDialog();
    Open(SmallPicture(PathOf(QStringLiteral("p.png"))));
    Click(1021);
    EXPECT_EQ(Text(1020), QString::asprintf("%.2f", Canvas().GetZoom()));
    Click(1021);
    EXPECT_EQ(Text(1020), QString::asprintf("%.2f", Canvas().GetZoom()));
    Click(1022);
    EXPECT_EQ(Text(1020), QString::asprintf("%.2f", Canvas().GetZoom()));
    Click(1037);
    EXPECT_TRUE(Canvas().IsFitMode());
    EXPECT_EQ(Text(1020), QString::asprintf("%.2f", Canvas().GetZoom()));
    Click(1030);
    EXPECT_EQ(Canvas().GetZoom(), 1.0);
    EXPECT_EQ(Text(1020), QStringLiteral("1.00"));
}

TEST_F(ViewerDialog, OpenShowsTheFileAndCancellingChangesNothing)
{
    StartDialog();
    const QString picture = SmallPicture(PathOf(QStringLiteral("p.png")));
    Open(picture);
    EXPECT_EQ(Text(1032), picture);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("p.png[*] - Quenlo"));
    ASSERT_NE(dialog->Mask(), nullptr);
    EXPECT_EQ(FreeImage_GetWidth(dialog->Mask()), 64u);
    EXPECT_EQ(FreeImage_GetHeight(dialog->Mask()), 48u);
    EXPECT_EQ(FreeImage_GetBPP(dialog->Mask()), 8u);
    FIBITMAP* const first = dialog->Mask();

    Open(QString());
    EXPECT_TRUE(Canvas().HasPicture());
    EXPECT_EQ(Text(1032), picture);
    EXPECT_EQ(dialog->Mask(), first);
}

TEST_F(ViewerDialog, ExitClosesAndEscapeDoesNot)
{
    StartDialog();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    dialog->findChild<QAction*>(QStringLiteral("32771"))->trigger();
    EXPECT_FALSE(dialog->isVisible());
}

} // namespace

// From the Open dialog as from the command line, a picture first fills the view.
TEST_F(ViewerDialog, SmallPictureOpensFittedHoweverItIsOpened)
{
    StartDialog();
    const int grey[4] = {90, 90, 90, 0};
    const QString small = SavePicture(MakeBitmap(60, 40, 24, grey).get(), PathOf(QStringLiteral("small.png")));
    Open(small);
    EXPECT_TRUE(Canvas().IsFitMode());
    EXPECT_GT(Canvas().GetZoom(), 1.0);
    EXPECT_EQ(Text(1020), QString::number(Canvas().GetZoom(), 'f', 2));
    Click(1030);
    dialog->OpenPictureFile(small);
    EXPECT_TRUE(Canvas().IsFitMode());
}
