// SPDX-License-Identifier: MIT
// The open- and save-file dialogs, behind one seam so that tests can answer
// them.
#pragma once

#include <QString>

#include <functional>

class QWidget;

enum class FileDialogKind { Open, Save };

// Answers with the chosen path, or an empty string when the user cancels;
// start is the folder or file the dialog starts at (empty: the working folder).
using FileDialogHook =
    std::function<QString(FileDialogKind kind, const QString& title, const QString& filter, const QString& start)>;

// Starts in folder.
QString AskOpenFileName(QWidget* parent, const QString& title, const QString& filter, const QString& folder = {});

// Starts with suggested, a path, as the file name; asks before an existing
// file of the chosen name is replaced.
QString AskSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                        const QString& suggested = {});

// With a hook set, both dialogs return its answer and show nothing; an
// empty hook brings the real dialogs back.
void SetFileDialogHook(FileDialogHook hook);
