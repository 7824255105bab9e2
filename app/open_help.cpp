// SPDX-License-Identifier: MIT
// The "Read Help..." command.
#include "app/open_help.h"

#include "app/viewer_dialog.h"
#include "controls/desktop_services.h"
#include "controls/message_box.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

QString HelpFilePath(const QString& executableFolder)
{
    return QDir(executableFolder).filePath(QStringLiteral("help/help.htm"));
}

QString FindHelpFile(const QString& executableFolder)
{
    const QString beside = HelpFilePath(executableFolder);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed =
        QDir::cleanPath(QDir(executableFolder).filePath(QStringLiteral(QUENLO_HELP_FROM_BIN "/help.htm")));
    return QFileInfo::exists(installed) ? installed : beside;
}

void CViewerDlg::OpenHelp()
{
    const QString path = FindHelpFile(QCoreApplication::applicationDirPath());
    // A missing file is a failure the user must hear of; the desktop might
    // open an empty browser window for it instead.
    if (!QFileInfo::exists(path) || !OpenWithDesktop(QUrl::fromLocalFile(path)))
        ShowMessageBox(QStringLiteral("Coldn't open browser!\n\n%1").arg(QDir::toNativeSeparators(path)));
}
