// SPDX-License-Identifier: MIT
// The real progress box, played by a user through its Cancel button.
#include "controls/progress_box.h"

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
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

void LookAtTheBox(SeenBox& seen, bool pressCancel)
{
    QTimer::singleShot(0, [&seen, pressCancel] {
        QWidget* box = QApplication::activeModalWidget();
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
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
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
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
