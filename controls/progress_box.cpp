// SPDX-License-Identifier: MIT
#include "controls/progress_box.h"

#include "controls/message_box.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

using namespace std::chrono_literals;

// A quick job ends before anything is shown.
constexpr auto QuietTime = 500ms;
constexpr int BarSteps = 1000;

ProgressBoxHook& Hook()
{
    static ProgressBoxHook hook;
    return hook;
}

// Input a user aims at a window: what the box keeps from every other one.
bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
    case QEvent::DragEnter:
    case QEvent::Drop: return true;
    default: return false;
    }
}

// Stays open until the job has ended, even after Cancel: the caller may touch
// the job's data only then. It keeps the user's input from other windows as
// a modal box would, but not their close requests: a modal box would swallow
// the owner's close box, which must stop the job.
class CProgressBox : public QDialog {
public:
    CProgressBox(const QString& text, CJobWatch& job, QWidget* parent) : QDialog(parent), m_job(job)
    {
        setWindowTitle(BoxTitle());
        qApp->installEventFilter(this);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(text, this));
        m_bar = new QProgressBar(this);
        m_bar->setRange(0, BarSteps);
        m_bar->setMinimumWidth(320);
        layout->addWidget(m_bar);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
        buttons->addWidget(m_cancel);
        layout->addLayout(buttons);
        connect(m_cancel, &QPushButton::clicked, this, &CProgressBox::reject);
        connect(&m_timer, &QTimer::timeout, this, &CProgressBox::Poll);
        m_bar->setValue(static_cast<int>(m_job.Fraction() * BarSteps));
        m_timer.start(50);
    }

    bool Cancelled() const { return m_cancelled; }

    // Escape, the close box and Cancel all come here.
    void reject() override
    {
        if (m_cancelled)
            return;
        m_cancelled = true;
        m_job.Cancel();
        m_cancel->setEnabled(false);
        m_cancel->setText(QStringLiteral("Cancelling..."));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!IsUserInput(event->type()))
            return false;
        if (auto* widget = qobject_cast<QWidget*>(watched))
            return widget->window() != this;
        // Shortcuts go to the actions of other windows; the box has none.
        return event->type() == QEvent::Shortcut;
    }

    // Alt+F4 pressed to close the window lands on the box, which has the
    // focus: it cancels the job and closes the owner as its close box would.
    void closeEvent(QCloseEvent* event) override
    {
        reject();
        event->ignore();
        if (QWidget* owner = parentWidget())
            owner->close();
    }

private:
    void Poll()
    {
        if (m_job.WaitFor(0ms)) {
            m_timer.stop();
            done(m_cancelled ? QDialog::Rejected : QDialog::Accepted);
            return;
        }
        m_bar->setValue(static_cast<int>(m_job.Fraction() * BarSteps));
    }

    CJobWatch& m_job;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
    QTimer m_timer;
    bool m_cancelled = false;
};

} // namespace

bool FollowJob(const QString& text, CJobWatch& job, QWidget* owner)
{
    if (Hook()) {
        const bool cancelled = Hook()(job);
        while (!job.WaitFor(1s)) {
        }
        return cancelled;
    }
    if (job.WaitFor(QuietTime))
        return false;
    CProgressBox box(text, job, owner != nullptr ? owner : QApplication::activeWindow());
    // The caller's wait cursor would hide that Cancel can be pressed.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    QEventLoop loop;
    QObject::connect(&box, &QDialog::finished, &loop, &QEventLoop::quit);
    box.show();
    loop.exec();
    QApplication::restoreOverrideCursor();
    return box.Cancelled();
}

void SetProgressBoxHook(ProgressBoxHook hook)
{
    Hook() = std::move(hook);
}
