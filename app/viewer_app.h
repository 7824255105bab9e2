// SPDX-License-Identifier: MIT
// The application object: names the settings' owner "Varnholt" and the
// application after the executable, and runs the main dialog until it is
// closed.
#pragma once

#include <QApplication>
#include <QString>

class CViewerApp {
public:
    CViewerApp(int& argc, char** argv);

    // Runs the dialog; a picture named on the command line is opened once
    // the window is up. Returns when the dialog is closed.
    int InitInstance();

private:
    QApplication m_application;
    QString m_strPicture;
};
