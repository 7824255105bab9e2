// SPDX-License-Identifier: MIT
// A long job followed in a modal box with a bar and Cancel, shown only when
// the job outlasts half a second. Tests install a hook that plays the user.
#pragma once

#include <QString>
#include <QWidget>

#include <chrono>
#include <functional>

// What the box needs of a job running on another thread.
class CJobWatch {
public:
    virtual ~CJobWatch() = default;
    // True once the job has ended; waits at most the given time for it.
    virtual bool WaitFor(std::chrono::milliseconds time) = 0;
    // How far the job has come, 0 to 1.
    virtual double Fraction() const = 0;
    // Asks the job to stop; it ends soon after, not at once.
    virtual void Cancel() = 0;
};

// Called at once instead of the box; returns true for a user who cancelled.
using ProgressBoxHook = std::function<bool(CJobWatch& job)>;

// Returns once the job has ended; true when the user pressed Cancel (or
// closed the box), which has then asked the job to stop. The box belongs to
// owner, or without one to the active window.
bool FollowJob(const QString& text, CJobWatch& job, QWidget* owner = nullptr);

// With a hook set, FollowJob calls it and shows nothing; an empty hook
// brings the real box back.
void SetProgressBoxHook(ProgressBoxHook hook);
