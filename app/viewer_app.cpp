// SPDX-License-Identifier: MIT
#include "app/viewer_app.h"

#include "app/viewer_dialog.h"

#include <QFileInfo>
#include <QStringList>
#include <QTimer>

CViewerApp::CViewerApp(int& argc, char** argv) : m_application(argc, argv)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Varnholt"));
    QCoreApplication::setApplicationName(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    // Lets the desktop match the window with the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.varnholt.quenlo"));
    const QStringList arguments = QCoreApplication::arguments();
    // The full path, as the Open dialog gives it and the settings keep it.
    if (arguments.size() > 1)
        m_strPicture = QFileInfo(arguments.at(1)).absoluteFilePath();
}

int CViewerApp::InitInstance()
{
    CViewerDlg dialog;
    if (!m_strPicture.isEmpty())
        QTimer::singleShot(0, &dialog, [&dialog, this] { dialog.OpenPictureFile(m_strPicture); });
    dialog.exec();
    return 0;
}
