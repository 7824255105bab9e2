// SPDX-License-Identifier: MIT
// The About box: the program's name and version, the rights notice, the two
// authors as mail links and the web address as a link.
#pragma once

#include <QDialog>

class CHyperLink;
class QLabel;

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    CHyperLink* m_lnkAuthor1 = nullptr;
    CHyperLink* m_lnkAuthor2 = nullptr;
    CHyperLink* m_lnkWebSite = nullptr;

private:
    void OnInitDialog();

    QLabel* m_stAnd = nullptr;
};
