// SPDX-License-Identifier: MIT
#include "canvas/open_file_dialog.h"

#include <QFileDialog>

namespace {

OpenFileDialogHook& Hook()
{
    static OpenFileDialogHook hook;
    return hook;
}

} // namespace

QString AskOpenFileName(QWidget* parent, const QString& title, const QString& filter)
{
    if (Hook())
        return Hook()(title, filter);
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

void SetOpenFileDialogHook(OpenFileDialogHook hook)
{
    Hook() = std::move(hook);
}
