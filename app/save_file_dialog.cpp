// SPDX-License-Identifier: MIT
#include "app/save_file_dialog.h"

#include <QFileDialog>

namespace {

SaveFileDialogHook& Hook()
{
    static SaveFileDialogHook hook;
    return hook;
}

} // namespace

QString AskSaveFileName(QWidget* parent, const QString& title, const QString& filter)
{
    if (Hook())
        return Hook()(title, filter);
    return QFileDialog::getSaveFileName(parent, title, QString(), filter);
}

void SetSaveFileDialogHook(SaveFileDialogHook hook)
{
    Hook() = std::move(hook);
}
