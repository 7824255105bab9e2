// SPDX-License-Identifier: MIT
#include "app/about_dialog.h"

#include "app/button_pictures.h"
#include "app/credits.h"
#include "app/dialog_units.h"
#include "controls/hyperlink.h"
#include "controls/transparent_picture.h"
#include "res/resource_ids.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {

// The box's client area in dialog units.
constexpr QSize AboutDialogUnits(235, 126);

QLabel* AddLabel(QWidget* parent, const QString& text, const QRect& place)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(place);
    return label;
}

CHyperLink* AddLink(QWidget* parent, int id, const QString& text, const QRect& place)
{
    auto* link = new CHyperLink(text, parent);
    link->setObjectName(QString::number(id));
    link->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    link->setGeometry(place);
    return link;
}

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Tessaro"));
    setFont(DialogFont());
    const DialogBaseUnits base = BaseUnitsOf(font());
    const auto place = [base](int x, int y, int w, int h) { return DialogUnitsToPixels(QRect(x, y, w, h), base); };
    const QRect client = place(0, 0, AboutDialogUnits.width(), AboutDialogUnits.height());
    setFixedSize(client.size());

    auto* icon = new QLabel(this);
    icon->setPixmap(LoadWithoutColour(ButtonPicturePath(IDR_MAINFRAME), ButtonPictureBackground));
    icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    icon->setGeometry(place(11, 11, 20, 20));
    AddLabel(this, QStringLiteral("Quenlo 1.0"), place(40, 10, 119, 8));
    AddLabel(this, QString::fromLatin1(RightsNotice), place(40, 25, 119, 8));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    ok->setGeometry(place(178, 105, 50, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    m_lnkAuthor1 = AddLink(this, IDC_AUTHOR1, QString::fromLatin1(FirstAuthor.name), place(40, 42, 68, 8));
    m_stAnd = AddLabel(this, QStringLiteral("and"), place(114, 42, 13, 8));
    m_lnkAuthor2 = AddLink(this, IDC_AUTHOR2, QString::fromLatin1(SecondAuthor.name), place(137, 42, 57, 8));
    m_lnkWebSite = AddLink(this, IDC_WEB_SITE, QString::fromLatin1(WebAddress), place(40, 60, 100, 8));
    AddLabel(this, QStringLiteral("The program uses the FreeImage library"), place(40, 78, 150, 8));
    ok->setFocus();
    OnInitDialog();
}

void CAboutDlg::OnInitDialog()
{
    m_lnkWebSite->SetLinkTarget(QString::fromLatin1(WebAddress));
    m_lnkAuthor1->SetLinkTarget(QStringLiteral("mailto:") + QLatin1String(FirstAuthor.mail));
    m_lnkAuthor2->SetLinkTarget(QStringLiteral("mailto:") + QLatin1String(SecondAuthor.mail));
    // The links shrink to their names; "and" and the second name follow the
    // first name at a word's distance, whatever the font.
    const int gap = fontMetrics().horizontalAdvance(QLatin1Char(' '));
    m_stAnd->adjustSize();
    m_stAnd->move(m_lnkAuthor1->geometry().right() + 1 + gap, m_stAnd->y());
    m_lnkAuthor2->move(m_stAnd->geometry().right() + 1 + gap, m_lnkAuthor2->y());
}
