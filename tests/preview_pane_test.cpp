// SPDX-License-Identifier: MIT
#include "canvas/preview_pane.h"
#include "controls/message_box.h"
#include "test_pictures.h"

#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int ClientWidth = 700;
constexpr int ClientHeight = 500;

class PreviewPane : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = new QTemporaryDir;
        const int grey[4] = {90, 90, 90, 0};
        s_small = SavePicture(MakeBitmap(400, 300, 24, grey).get(), s_folder->filePath("small.bmp"));
        s_large = SavePicture(MakeBitmap(4000, 3000, 8, grey).get(), s_folder->filePath("large.bmp"));
    }
    static void TearDownTestSuite() { delete s_folder; }

    void SetUp() override
    {
        SetMessageBoxHook([this](const QString& text) { messages.push_back(text); });
        pane.resize(ClientWidth + 2 * CPreviewPane::FrameWidth, ClientHeight + 2 * CPreviewPane::FrameWidth);
    }
    void TearDown() override { SetMessageBoxHook({}); }

    // Clamped scroll positions lie within the zoomed picture.
    int MaxScrollX() const { return static_cast<int>(4000 * pane.GetZoom() - pane.ClientRect().width()); }

    static QTemporaryDir* s_folder;
    static QString s_small;
    static QString s_large;
    CPreviewPane pane;
    std::vector<QString> messages;
};

QTemporaryDir* PreviewPane::s_folder = nullptr;
QString PreviewPane::s_small;
QString PreviewPane::s_large;

TEST_F(PreviewPane, SmallPictureIsCentredAtActualSize)
{
    ASSERT_TRUE(pane.LoadFile(s_small));
    EXPECT_FALSE(pane.IsFitMode());
    EXPECT_EQ(pane.GetZoom(), 1.0);
    EXPECT_TRUE(pane.HorizontalScrollBar()->isHidden());
    EXPECT_TRUE(pane.VerticalScrollBar()->isHidden());

    const QImage shot = pane.grab().toImage();
    const QPoint origin = pane.ClientRect().topLeft();
    EXPECT_EQ(shot.pixel(origin + QPoint(150, 100)), qRgb(90, 90, 90));
    EXPECT_EQ(shot.pixel(origin + QPoint(549, 399)), qRgb(90, 90, 90));
    EXPECT_NE(shot.pixel(origin + QPoint(149, 100)), qRgb(90, 90, 90));
    EXPECT_NE(shot.pixel(origin + QPoint(150, 99)), qRgb(90, 90, 90));
    EXPECT_NE(shot.pixel(origin + QPoint(550, 399)), qRgb(90, 90, 90));
}

TEST_F(PreviewPane, ClientToImageCountsFromTheCentredPicture)
{
    ASSERT_TRUE(pane.LoadFile(s_small));
    EXPECT_EQ(pane.ClientToImage({150, 100}), QPoint(0, 0));
    EXPECT_EQ(pane.ClientToImage({549, 399}), QPoint(399, 299));
    const QPoint leftOfPicture = pane.ClientToImage({140, 120});
    EXPECT_LT(leftOfPicture.x(), 0);
    EXPECT_EQ(leftOfPicture.y(), 20);
}

TEST_F(PreviewPane, LargePictureFitsAndStepsUpToSeven)
{
    ASSERT_TRUE(pane.LoadFile(s_large));
    EXPECT_TRUE(pane.IsFitMode());
    EXPECT_DOUBLE_EQ(pane.GetZoom(), 1.0 / 6.0);

    double expected = 1.0 / 6.0;
    for (int step = 1; step <= 8; ++step) {
        expected += 0.1;
        EXPECT_NEAR(pane.ZoomIn(), expected, 1e-12) << "step " << step;
    }
    EXPECT_FALSE(pane.IsFitMode());
    for (double whole : {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 7.0})
        EXPECT_DOUBLE_EQ(pane.ZoomIn(), whole);
    EXPECT_FALSE(pane.HorizontalScrollBar()->isHidden());
    EXPECT_FALSE(pane.VerticalScrollBar()->isHidden());
}

TEST_F(PreviewPane, ZoomingOutOfTheLargePictureEndsInFit)
{
    ASSERT_TRUE(pane.LoadFile(s_large));
    while (pane.GetZoom() < 1.0)
        pane.ZoomIn();
    ASSERT_DOUBLE_EQ(pane.GetZoom(), 1.0);
    for (double fraction : {0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3, 0.2})
        EXPECT_NEAR(pane.ZoomOut(), fraction, 1e-12);
    EXPECT_DOUBLE_EQ(pane.ZoomOut(), 1.0 / 6.0);
    EXPECT_TRUE(pane.IsFitMode());
    EXPECT_EQ(pane.ScrollPosition(), QPoint(0, 0));
    EXPECT_TRUE(pane.HorizontalScrollBar()->isHidden());
}

TEST_F(PreviewPane, PictureThatFitsGrowsIntoTheViewBeforeStepping)
{
    ASSERT_TRUE(pane.LoadFile(s_small));
    EXPECT_DOUBLE_EQ(pane.ZoomIn(), 500.0 / 300.0);
    EXPECT_TRUE(pane.IsFitMode());
    EXPECT_DOUBLE_EQ(pane.ZoomIn(), 2.0);
    EXPECT_FALSE(pane.IsFitMode());
    EXPECT_DOUBLE_EQ(pane.ZoomIn(), 3.0);
    EXPECT_DOUBLE_EQ(pane.ZoomOut(), 2.0);
    // Down the steps stop at the fit, then at 1:1, the smallest.
    EXPECT_DOUBLE_EQ(pane.ZoomOut(), 500.0 / 300.0);
    EXPECT_TRUE(pane.IsFitMode());
    EXPECT_DOUBLE_EQ(pane.ZoomOut(), 1.0);
    EXPECT_FALSE(pane.IsFitMode());
    EXPECT_DOUBLE_EQ(pane.ZoomOut(), 1.0);
    EXPECT_DOUBLE_EQ(pane.ZoomIn(), 500.0 / 300.0);
}

TEST_F(PreviewPane, ZoomStepsRunOneWayWithFitAndOneToOneOnTheWay)
{
    for (const QString* picture : {&s_small, &s_large}) {
        ASSERT_TRUE(pane.LoadFile(*picture));
        const double fit = *pane.FitZoom();
        std::vector<double> up{pane.GetZoom()};
        while (up.back() < 7.0 && up.size() < 40)
            up.push_back(pane.ZoomIn());
        std::vector<double> down{up.back()};
        while (down.size() < 40 && (down.size() == 1 || down.back() != down[down.size() - 2]))
            down.push_back(pane.ZoomOut());
        for (const std::vector<double>* steps : {&up, &down}) {
            const bool rising = steps == &up;
            for (std::size_t i = 1; i + 1 < steps->size(); ++i)
                EXPECT_TRUE(rising ? (*steps)[i] > (*steps)[i - 1] : (*steps)[i] < (*steps)[i - 1])
                    << (rising ? "in " : "out ") << i << ": " << (*steps)[i - 1] << " -> " << (*steps)[i];
            for (double stop : {fit, 1.0})
                EXPECT_NE(std::find_if(steps->begin(), steps->end(),
                                       [stop](double zoom) { return std::abs(zoom - stop) < 1e-9; }),
                          steps->end())
                    << (rising ? "in misses " : "out misses ") << stop;
        }
        EXPECT_DOUBLE_EQ(down.back(), std::min(fit, 1.0));
    }
}

TEST_F(PreviewPane, EmptyPaneStepsWithoutBars)
{
    EXPECT_DOUBLE_EQ(pane.ZoomIn(), 2.0);
    CPreviewPane other;
    EXPECT_NEAR(other.ZoomOut(), 0.9, 1e-12);
    EXPECT_TRUE(other.IsFitMode());
    EXPECT_TRUE(pane.HorizontalScrollBar()->isHidden());
    EXPECT_TRUE(pane.VerticalScrollBar()->isHidden());
}

TEST_F(PreviewPane, ZoomKeepsTheCentreOnThePicture)
{
    ASSERT_TRUE(pane.LoadFile(s_large));
    while (pane.GetZoom() < 2.0)
        pane.ZoomIn();
    for (int i = 0; i < 30; ++i)
        pane.HorizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    const QPoint centre(pane.ClientRect().width() / 2, pane.ClientRect().height() / 2);
    const QPoint before = pane.ClientToImage(centre);
    pane.ZoomIn();
    const QPoint after = pane.ClientToImage(centre);
    EXPECT_NEAR(after.x(), before.x(), 1);
    EXPECT_NEAR(after.y(), before.y(), 1);
}

TEST_F(PreviewPane, ScrollingSnapsToPicturePixelsAndStaysInside)
{
    ASSERT_TRUE(pane.LoadFile(s_large));
    while (pane.GetZoom() < 3.0)
        pane.ZoomIn();
    ASSERT_DOUBLE_EQ(pane.GetZoom(), 3.0);
    QScrollBar* bar = pane.HorizontalScrollBar();
    // Zooming kept the view on the picture's centre.
    const int start = pane.ScrollPosition().x();

    for (int step = 1; step <= 5; ++step) {
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        const int x = pane.ScrollPosition().x();
        EXPECT_EQ(x % 3, 0) << x;
        EXPECT_NEAR(x, start + 20 * step, 1.5);
        EXPECT_EQ(bar->value(), x);
    }
    for (int i = 0; i < 700; ++i)
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(pane.ScrollPosition().x(), MaxScrollX());

    bar->setSliderPosition(100);
    EXPECT_EQ(pane.ScrollPosition().x(), 99);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(pane.ScrollPosition().x(), 102);
    for (int i = 0; i < 10; ++i)
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(pane.ScrollPosition().x(), 0);
}

TEST_F(PreviewPane, EmptyNameIsRefusedAndChangesNothing)
{
    ASSERT_TRUE(pane.LoadFile(s_small));
    EXPECT_FALSE(pane.LoadFile(QString()));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "CPreviewPane::LoadFile(): no file name provided");
    EXPECT_TRUE(pane.HasPicture());
    EXPECT_FALSE(pane.IsFitMode());
}

TEST_F(PreviewPane, UnreadableFileIsToldWithItsReasonAndKeepsThePicture)
{
    ASSERT_TRUE(pane.LoadFile(s_small));
    pane.ZoomIn();
    pane.ZoomIn();
    const double zoom = pane.GetZoom();
    const QString missing = s_folder->filePath("missing.png");
    EXPECT_FALSE(pane.LoadFile(missing));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "File " + missing + " could not be opened: cannot open the file: No such file or directory.");
    EXPECT_TRUE(pane.HasPicture());
    EXPECT_EQ(pane.PictureWidth(), 400);
    EXPECT_EQ(pane.GetZoom(), zoom);
}

TEST(OpenFailureText, EndsWithOneFullStopWhateverTheReason)
{
    EXPECT_EQ(OpenFailureText("a.png", "the file is empty"), "File a.png could not be opened: the file is empty.");
    EXPECT_EQ(OpenFailureText("a.png", "damaged."), "File a.png could not be opened: damaged.");
    EXPECT_EQ(OpenFailureText("a.png", QString()), "File a.png could not be opened.");
}

} // namespace
