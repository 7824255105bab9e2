// SPDX-License-Identifier: MIT
// The real progress box, played by a user through its Cancel button.
#include "controls/progress_box.h"

#include <QApplication>
#include <QCloseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A job that ends after a number of looks at it, or (0) once cancelled; a
// box that never shows its button still ends after a hundred looks.
class ScriptedJob : public CJobWatch {
public:
    explicit ScriptedJob(int endsAtLook) : m_endsAtLook(endsAtLook) {}

    bool WaitFor(std::chrono::milliseconds) override
    {
        ++looks;
        if (cancels > 0)
            return ++looksAfterCancel > 2;
        return looks >= (m_endsAtLook > 0 ? m_endsAtLook : 100);
    }
    double Fraction() const override { return 0.25; }
    void Cancel() override { ++cancels; }

    int looks = 0;
    int looksAfterCancel = 0;
    int cancels = 0;

private:
    int m_endsAtLook;
};

// What the user saw of the box, and a Cancel pressed twice if asked to.
struct SeenBox {
    int bar = -1;
    QString button;
};

// The box on screen, or null.
QWidget* ShownBox()
{
    // The owner holds the box as a child, so the bar must be the window's own.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const auto* bar = window->findChild<QProgressBar*>();
        if (window->isVisible() && bar != nullptr && bar->window() == window)
            return window;
    }
    return nullptr;
}

void LookAtTheBox(SeenBox& seen, bool pressCancel)
{
    QTimer::singleShot(0, [&seen, pressCancel] {
        QWidget* box = ShownBox();
        ASSERT_NE(box, nullptr);
        seen.bar = box->findChild<QProgressBar*>()->value();
        auto* cancel = box->findChild<QPushButton*>();
        seen.button = cancel->text();
        if (pressCancel) {
            cancel->click();
            cancel->click();
        }
    });
}

} // namespace

TEST(ProgressBox, QuickJobShowsNothing)
{
    ScriptedJob job(1);
    EXPECT_FALSE(FollowJob(QStringLiteral("Working"), job));
    EXPECT_EQ(job.looks, 1);
    EXPECT_EQ(ShownBox(), nullptr);
}

TEST(ProgressBox, ShowsProgressUntilTheJobEnds)
{
    ScriptedJob job(4);
    SeenBox seen;
    LookAtTheBox(seen, false);
    EXPECT_FALSE(FollowJob(QStringLiteral("Working"), job));
    EXPECT_EQ(seen.bar, 250);
    EXPECT_EQ(seen.button, QStringLiteral("Cancel"));
    EXPECT_EQ(job.cancels, 0);
    EXPECT_GE(job.looks, 4);
}

TEST(ProgressBox, CancelAsksOnceAndWaitsForTheJobToEnd)
{
    ScriptedJob job(0);
    SeenBox seen;
    LookAtTheBox(seen, true);
    EXPECT_TRUE(FollowJob(QStringLiteral("Working"), job));
    EXPECT_EQ(job.cancels, 1);
    EXPECT_GT(job.looksAfterCancel, 2);
    EXPECT_EQ(ShownBox(), nullptr);
}

namespace {

// A window that counts the requests to close it and refuses them, as the
// editor does while its job runs; a click on it is counted too.
class Owner : public QWidget {
public:
    int closeRequests = 0;
    int clicks = 0;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        ++closeRequests;
        event->ignore();
    }
    void mousePressEvent(QMouseEvent*) override { ++clicks; }
};

} // namespace

TEST(ProgressBox, ClosingTheBoxCancelsAndClosesItsOwnerWhichStillTakesCloseRequests)
{
    Owner owner;
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    ScriptedJob job(0);
    QTimer::singleShot(0, [&owner] {
        QWidget* box = ShownBox();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->parentWidget(), &owner);
        // The owner's input waits for the box, its close box does not.
        QTest::mouseClick(&owner, Qt::LeftButton);
        owner.close();
        EXPECT_EQ(owner.closeRequests, 1);
        box->close();
    });
    EXPECT_TRUE(FollowJob(QStringLiteral("Working"), job, &owner));
    EXPECT_EQ(job.cancels, 1);
    EXPECT_EQ(owner.closeRequests, 2);
    EXPECT_EQ(owner.clicks, 0);
    EXPECT_EQ(ShownBox(), nullptr);
}
