// SPDX-License-Identifier: MIT
#include "app/preferences_dialog.h"

#include "app/dialog_units.h"
#include "res/resource_ids.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

CPreferencesDlg::CPreferencesDlg(bool rememberToolSettings, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Preferences"));
    setFont(DialogFont());
    auto* layout = new QVBoxLayout(this);
    m_chkRememberTools =
        new QCheckBox(QStringLiteral("Remember brush size, method, patch size and \"Smooth the seam\" for the next start"),
                      this);
    m_chkRememberTools->setObjectName(QString::number(IDC_REMEMBER_TOOLS));
    m_chkRememberTools->setChecked(rememberToolSettings);
    layout->addWidget(m_chkRememberTools);
    auto* note = new QLabel(QStringLiteral("Unticked, they start at 10 px, patches, 32 px and off every time."), this);
    note->setEnabled(false);
    layout->addWidget(note);
    layout->addSpacing(8);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool CPreferencesDlg::RememberToolSettings() const
{
    return m_chkRememberTools->isChecked();
}
