// SPDX-License-Identifier: MIT
// File → Open Recent: the pictures opened or saved last, opened through the
// same question about unsaved changes as Open.
#include "app/viewer_dialog.h"

#include "controls/message_box.h"
#include "res/resource_ids.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

void CViewerDlg::AddRecentFile(const QString& path)
{
    m_recentFiles.Add(path);
    UpdateRecentMenu();
}

void CViewerDlg::UpdateRecentMenu()
{
    m_pRecentMenu->clear();
    const QStringList& paths = m_recentFiles.Paths();
    const QStringList texts = RecentMenuTexts(paths);
    for (qsizetype i = 0; i < paths.size(); ++i) {
        QAction* action = m_pRecentMenu->addAction(texts[i]);
        action->setObjectName(QString::number(ID_FILE_RECENT_FIRST + i));
        action->setToolTip(QDir::toNativeSeparators(paths[i]));
        const QString path = paths[i];
        connect(action, &QAction::triggered, this, [this, path] { OpenRecentFile(path); });
    }
    m_pRecentMenu->addSeparator();
    QAction* clear = m_pRecentMenu->addAction(QStringLiteral("&Clear list"));
    clear->setObjectName(QString::number(ID_FILE_RECENT_CLEAR));
    connect(clear, &QAction::triggered, this, [this] {
        m_recentFiles.Clear();
        UpdateRecentMenu();
    });
    m_pRecentMenu->setEnabled(!paths.isEmpty());
}

void CViewerDlg::OpenRecentFile(const QString& path)
{
    // Asked before the question about unsaved changes, which would be in vain.
    if (!QFileInfo(path).isFile()) {
        ShowMessageBox(QStringLiteral("%1 no longer exists; it has been taken off the recent pictures.")
                           .arg(QDir::toNativeSeparators(path)));
        m_recentFiles.Remove(path);
        UpdateRecentMenu();
        return;
    }
    OpenPictureFile(path);
}
