// SPDX-License-Identifier: MIT
// The Preferences dialog: whether brush size, patch size and seam smoothing
// are kept for the next start or start from their fixed values.
#pragma once

#include <QDialog>

class QCheckBox;

class CPreferencesDlg : public QDialog {
    Q_OBJECT

public:
    explicit CPreferencesDlg(bool rememberToolSettings, QWidget* parent = nullptr);

    bool RememberToolSettings() const;

private:
    QCheckBox* m_chkRememberTools = nullptr;
};
