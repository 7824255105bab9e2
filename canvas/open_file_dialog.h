// SPDX-License-Identifier: MIT
// The open-file dialog, behind a seam so that tests can answer it.
#pragma once

#include <QString>

#include <functional>

class QWidget;

// Answers with the chosen path, or an empty string when the user cancels.
using OpenFileDialogHook = std::function<QString(const QString& title, const QString& filter)>;

QString AskOpenFileName(QWidget* parent, const QString& title, const QString& filter);

// With a hook set, AskOpenFileName returns its answer and shows nothing; an
// empty hook brings the real dialog back.
void SetOpenFileDialogHook(OpenFileDialogHook hook);
