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

QString AskOpenFileName(QWidget* parent, const QString& title, const QString& filter)
{
    if (Hook())
        return Hook()(FileDialogKind::Open, title, filter);
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

QString AskSaveFileName(QWidget* parent, const QString& title, const QString& filter)
{
    if (Hook())
        return Hook()(FileDialogKind::Save, title, filter);
    return QFileDialog::getSaveFileName(parent, title, QString(), filter);
}

void SetFileDialogHook(FileDialogHook hook)
{
    Hook() = std::move(hook);
}
