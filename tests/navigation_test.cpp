// SPDX-License-Identifier: MIT
// Moving about the picture: the wheel zooms about the pointer and over the
// sliders too, the view pans and scrolls, backslash shows the picture as
// opened, and a dropped file opens.
#include "editor_fixture.h"
#include "test_pictures.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMimeData>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>

namespace {

class Navigation : public EditorTest {
protected:
    // A picture far larger than the view, shown at 1:1.
    void OpenLargePicture()
    {
        StartDialog();
        const int grey[4] = {90, 90, 90, 0};
        Open(SavePicture(MakeBitmap(3000, 2000, 24, grey).get(), PathOf(QStringLiteral("large.png"))));
        ASSERT_TRUE(Canvas().HasPicture());
        QTest::keyClick(dialog.get(), Qt::Key_1, Qt::ControlModifier);
        ASSERT_EQ(Canvas().GetZoom(), 1.0);
    }
    void Wheel(QWidget* target, QPoint at, int delta)
    {
        QWheelEvent event(QPointF(at), QPointF(target->mapToGlobal(at)), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }
};

TEST_F(Navigation, WheelZoomKeepsThePicturePointUnderThePointer)
{
    OpenLargePicture();
    CCanvasPane& canvas = Canvas();
    const QPoint anchor = canvas.ClientRect().topLeft() + QPoint(150, 100);
    const QPoint client = anchor - canvas.ClientRect().topLeft();
    const QPoint picturePoint = canvas.ClientToImage(client);
    for (const int delta : {120, 120, -120, -120}) {
        Wheel(dialog.get(), canvas.mapTo(dialog.get(), anchor), delta);
        const QPoint now = canvas.ClientToImage(client);
        EXPECT_LE(std::abs(now.x() - picturePoint.x()), 1) << canvas.GetZoom();
        EXPECT_LE(std::abs(now.y() - picturePoint.y()), 1) << canvas.GetZoom();
    }
    EXPECT_EQ(canvas.GetZoom(), 1.0);
}

TEST_F(Navigation, WheelOverSlidersAndScrollBarsZoomsAndLeavesThemAlone)
{
    OpenLargePicture();
    auto* slider = Find<QSlider>(1033);
    Wheel(slider, slider->rect().center(), 120);
    EXPECT_EQ(Canvas().GetZoom(), 2.0);
    EXPECT_EQ(slider->value(), 10);
    QWidget* bar = Canvas().VerticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    const QPoint scroll = Canvas().ScrollPosition();
    Wheel(bar, bar->rect().center(), -120);
    EXPECT_EQ(Canvas().GetZoom(), 1.0);
    EXPECT_NE(Canvas().ScrollPosition(), scroll + QPoint(0, 60)) << "the bar did not scroll by itself";
}

TEST_F(Navigation, ArrowKeysScrollAndMiddleButtonPans)
{
    OpenLargePicture();
    CCanvasPane& canvas = Canvas();
    canvas.setFocus();
    QTest::keyClick(&canvas, Qt::Key_Right);
    QTest::keyClick(&canvas, Qt::Key_Down);
    EXPECT_EQ(canvas.ScrollPosition(), QPoint(40, 40));
    QTest::keyClick(&canvas, Qt::Key_Left);
    EXPECT_EQ(canvas.ScrollPosition(), QPoint(0, 40));

    const QPoint from = canvas.ClientRect().center();
    QTest::mousePress(&canvas, Qt::MiddleButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(from - QPoint(100, 30)), canvas.mapToGlobal(QPointF(from - QPoint(100, 30))),
                     Qt::NoButton, Qt::MiddleButton, Qt::NoModifier);
    QApplication::sendEvent(&canvas, &move);
    QTest::mouseRelease(&canvas, Qt::MiddleButton, {}, from - QPoint(100, 30));
    EXPECT_EQ(canvas.ScrollPosition(), QPoint(100, 70));
    EXPECT_TRUE(canvas.OverlayLayer().pixel(canvas.ClientToImage(from - canvas.ClientRect().topLeft())) ==
                qRgb(0, 0, 0))
        << "panning paints nothing";
}

TEST_F(Navigation, BackslashShowsThePictureAsOpenedWhileHeld)
{
    OpenLargePicture();
    // Keys go where the user's keys go: to the control with the focus.
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : dialog.get();
    QTest::keyPress(focus, Qt::Key_Backslash);
    EXPECT_TRUE(Canvas().ShowsOriginal());
    QTest::keyRelease(focus, Qt::Key_Backslash);
    EXPECT_FALSE(Canvas().ShowsOriginal());
    auto* button = Find<QAbstractButton>(1057);
    QTest::mousePress(button, Qt::LeftButton);
    EXPECT_TRUE(Canvas().ShowsOriginal());
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_FALSE(Canvas().ShowsOriginal());
}

TEST_F(Navigation, DroppedPictureFileOpens)
{
    StartDialog();
    const int red[4] = {0, 0, 200, 0};
    const QString path = SavePicture(MakeBitmap(40, 30, 24, red).get(), PathOf(QStringLiteral("dropped.png")));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPointF at(dialog->rect().center());
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dialog.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dialog.get(), &drop);
    EXPECT_EQ(Canvas().OpenedFileName(), path);
    EXPECT_EQ(Canvas().PictureWidth(), 40);
}

} // namespace
