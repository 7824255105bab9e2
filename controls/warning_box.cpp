// SPDX-License-Identifier: MIT
#include "controls/warning_box.h"

#include <QApplication>
#include <QMessageBox>

namespace {

WarningBoxHook& Hook()
{
    static WarningBoxHook hook;
    return hook;
}

} // namespace

void ShowWarningBox(const QString& text)
{
    if (Hook()) {
        Hook()(text);
        return;
    }
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void SetWarningBoxHook(WarningBoxHook hook)
{
    Hook() = std::move(hook);
}
