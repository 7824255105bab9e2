// SPDX-License-Identifier: MIT
#include "controls/hyperlink.h"

#include "controls/desktop_services.h"
#include "controls/message_box.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPalette>
#include <QUrl>

namespace {

constexpr int HoverPollMs = 100;
// Codes of an open request, as the shell reports them; above 32 is success.
constexpr int OpenSucceeded = 33;
constexpr int FileNotFound = 2;
constexpr int NoAssociation = 31;

} // namespace

CHyperLink::CHyperLink(const QString& text, QWidget* parent, const QString& target)
    : QLabel(text, parent), m_strTarget(target)
{
    setTextFormat(Qt::PlainText);
    if (m_strTarget.isEmpty())
        m_strTarget = text;
    if (text.isEmpty())
        setText(m_strTarget);
    m_fontPlain = font();
    m_fontUnderlined = font();
    m_fontUnderlined.setUnderline(true);
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    setToolTip(m_strTarget);
    m_hoverTimer.setInterval(HoverPollMs);
    connect(&m_hoverTimer, &QTimer::timeout, this, &CHyperLink::CheckHover);
    ApplyLook();
}

void CHyperLink::SetLinkTarget(const QString& target)
{
    m_strTarget = target;
    FitToText();
    setToolTip(m_strTarget);
}

QColor CHyperLink::TextColour() const
{
    if (m_bHover)
        return m_crHover;
    return m_bWasOpened ? m_crVisited : m_crLink;
}

void CHyperLink::ApplyLook()
{
    const bool underlined = m_nUnderlineMode == 1 || (m_nUnderlineMode == -1 && m_bHover);
    setFont(underlined ? m_fontUnderlined : m_fontPlain);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, TextColour());
    setPalette(colours);
}

void CHyperLink::FitToText()
{
    if (!m_bFitToText)
        return;
    // Measured with the underlined font, so that hovering never clips.
    const QSize text = QFontMetrics(m_fontUnderlined).size(Qt::TextSingleLine, this->text());
    const QSize frame(2 * frameWidth(), 2 * frameWidth());
    QRect place = geometry();
    const QPoint centre = place.center();
    const int right = place.right();
    place.setSize(text + frame);
    if (alignment() & Qt::AlignVCenter)
        place.moveTop(centre.y() - place.height() / 2);
    if (alignment() & Qt::AlignHCenter)
        place.moveLeft(centre.x() - place.width() / 2);
    else if (alignment() & Qt::AlignRight)
        place.moveRight(right);
    setGeometry(place);
}

void CHyperLink::enterEvent(QEnterEvent* event)
{
    QLabel::enterEvent(event);
    StartHover();
}

void CHyperLink::mouseMoveEvent(QMouseEvent* event)
{
    QLabel::mouseMoveEvent(event);
    StartHover();
}

void CHyperLink::StartHover()
{
    if (m_bHover)
        return;
    m_bHover = true;
    ApplyLook();
    m_hoverTimer.start();
}

void CHyperLink::CheckHover()
{
    if (rect().contains(mapFromGlobal(QCursor::pos())))
        return;
    m_bHover = false;
    m_hoverTimer.stop();
    ApplyLook();
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Click();
}

void CHyperLink::Click()
{
    m_bHover = false;
    m_hoverTimer.stop();
    const int result = OpenLinkTarget(m_strTarget);
    m_bWasOpened = result > 32;
    ApplyLook();
    if (!m_bWasOpened) {
        QApplication::beep();
        ShowMessageBox(LinkErrorText(result) + QStringLiteral("\n\n") + m_strTarget, MessageIcon::Warning);
    }
}

int CHyperLink::OpenLinkTarget(const QString& target)
{
    const QUrl url(target, QUrl::StrictMode);
    if (target.isEmpty() || !url.isValid())
        return FileNotFound;
    // The desktop says only yes or no; no means it has no program for it.
    return OpenWithDesktop(url) ? OpenSucceeded : NoAssociation;
}

QString CHyperLink::LinkErrorText(int code)
{
    QString reason;
    switch (code) {
    case 0: reason = QStringLiteral("The operating system is out\nof memory or resources."); break;
    case 2: reason = QStringLiteral("The specified file was not found."); break;
    case 3: reason = QStringLiteral("The specified path was not found."); break;
    case 5: reason = QStringLiteral("The operating system denied\naccess to the specified file."); break;
    case 8: reason = QStringLiteral("There was not enough memory to complete the operation."); break;
    case 11: reason = QStringLiteral("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."); break;
    case 26: reason = QStringLiteral("A sharing violation occurred. "); break;
    case 27: reason = QStringLiteral("The filename association is\nincomplete or invalid."); break;
    case 28:
        reason = QStringLiteral("The DDE transaction could not\nbe completed because the request timed out.");
        break;
    case 29: reason = QStringLiteral("The DDE transaction failed."); break;
    case 30:
        reason = QStringLiteral("The DDE transaction could not\nbe completed because other DDE transactions\nwere "
                                "being processed.");
        break;
    case 31: reason = QStringLiteral("There is no application associated\nwith the given filename extension."); break;
    case 32: reason = QStringLiteral("The specified dynamic-link library was not found."); break;
    default: reason = QString::asprintf("Unknown Error (%d) occurred.", code); break;
    }
    return QStringLiteral("Unable to open hyperlink:\n\n") + reason;
}
