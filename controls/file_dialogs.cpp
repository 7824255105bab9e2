// SPDX-License-Identifier: MIT
#include "controls/file_dialogs.h"

#include <QFileDialog>

namespace {

FileDialogHook& Hook()
{
    static FileDialogHook hook;
    return hook;
}

} // namespace

QString AskOpenFileName(QWidget* parent, const QString& title, const QString& filter, const QString& folder)
{
    if (Hook())
        return Hook()(FileDialogKind::Open, title, filter, folder);
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString AskSaveFileName(QWidget* parent, const QString& title, const QString& filter, const QString& suggested)
{
    if (Hook())
        return Hook()(FileDialogKind::Save, title, filter, suggested);
    return QFileDialog::getSaveFileName(parent, title, suggested, filter);
}

void SetFileDialogHook(FileDialogHook hook)
{
    Hook() = std::move(hook);
}
