// SPDX-License-Identifier: MIT
// The open- and save-file dialogs, behind one seam so that tests can answer
// them.
#pragma once

#include <QString>

#include <functional>

class QWidget;

enum class FileDialogKind { Open, Save };

// Answers with the chosen path, or an empty string when the user cancels.
using FileDialogHook = std::function<QString(FileDialogKind kind, const QString& title, const QString& filter)>;

QString AskOpenFileName(QWidget* parent, const QString& title, const QString& filter);

// The dialog asks before an existing file of the chosen name is replaced.
QString AskSaveFileName(QWidget* parent, const QString& title, const QString& filter);

// With a hook set, both dialogs return its answer and show nothing; an
// empty hook brings the real dialogs back.
void SetFileDialogHook(FileDialogHook hook);
