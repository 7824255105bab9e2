// SPDX-License-Identifier: MIT
// The save-file dialog, behind a seam so that tests can answer it.
#pragma once

#include <QString>

#include <functional>

class QWidget;

// Answers with the chosen path, or an empty string when the user cancels.
using SaveFileDialogHook = std::function<QString(const QString& title, const QString& filter)>;

// The dialog asks before an existing file of the chosen name is replaced.
QString AskSaveFileName(QWidget* parent, const QString& title, const QString& filter);

// With a hook set, AskSaveFileName returns its answer and shows nothing; an
// empty hook brings the real dialog back.
void SetSaveFileDialogHook(SaveFileDialogHook hook);
