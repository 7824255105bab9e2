// SPDX-License-Identifier: MIT
#include "controls/button_st.h"

#include "controls/transparent_picture.h"

#include <QEnterEvent>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace {

// The same picture drawn at twice the size lies beside it as name@2x.png.
QString DoubledName(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name + QStringLiteral("@2x") : name.left(dot) + QStringLiteral("@2x") + name.mid(dot);
}

} // namespace

CButtonST::CButtonST(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    setAutoDefault(false);
    setAttribute(Qt::WA_Hover);
}

void CButtonST::SetCheckMode(bool checkMode)
{
    setCheckable(checkMode);
}

const QPixmap& CButtonST::ImageRecord::For(qreal devicePixelRatio) const
{
    return devicePixelRatio > 1.0 && !doubled.isNull() ? doubled : normal;
}

CButtonST::ImageRecord CButtonST::LoadImageRecord(const QString& name, QColor transparent)
{
    ImageRecord record;
    record.normal = LoadWithoutColour(name, transparent);
    if (record.normal.isNull())
        return record;
    const QString doubledName = DoubledName(name);
    if (QFile::exists(doubledName)) {
        record.doubled = LoadWithoutColour(doubledName, transparent);
        record.doubled.setDevicePixelRatio(2.0);
    }
    return record;
}

int CButtonST::SetButtonBitmaps(const QString& bitmap, QColor transparent, const QString& secondBitmap,
                                QColor secondTransparent)
{
    m_aImages[0] = LoadImageRecord(bitmap, transparent);
    m_aImages[1] = secondBitmap.isEmpty() ? ImageRecord{} : LoadImageRecord(secondBitmap, secondTransparent);
    update();
    if (m_aImages[0].IsEmpty()) {
        m_aImages[1] = ImageRecord{};
        return 1;
    }
    return 0;
}

void CButtonST::SetFlatLook(bool flat, bool redraw)
{
    m_bFlatLook = flat;
    if (!flat)
        m_bHot = false;
    if (redraw)
        update();
}

void CButtonST::SetCheckMark(int mark, bool redraw)
{
    if (!IsCheckMode())
        return;
    setChecked(mark != 0);
    if (redraw)
        update();
}

bool CButtonST::IsDrawnPressed() const
{
    return isDown() || (IsCheckMode() && isChecked());
}

void CButtonST::enterEvent(QEnterEvent* event)
{
    QPushButton::enterEvent(event);
    // A press that started elsewhere does not light the button up.
    if (!m_bFlatLook || (QGuiApplication::mouseButtons() & Qt::LeftButton))
        return;
    m_bHot = true;
    update();
}

void CButtonST::leaveEvent(QEvent* event)
{
    QPushButton::leaveEvent(event);
    EndHover();
}

void CButtonST::focusOutEvent(QFocusEvent* event)
{
    QPushButton::focusOutEvent(event);
    EndHover();
}

void CButtonST::changeEvent(QEvent* event)
{
    QPushButton::changeEvent(event);
    if ((event->type() == QEvent::EnabledChange && !isEnabled()) ||
        (event->type() == QEvent::ActivationChange && !isActiveWindow()))
        EndHover();
}

void CButtonST::EndHover()
{
    if (!m_bHot)
        return;
    m_bHot = false;
    update();
}

void CButtonST::paintEvent(QPaintEvent*)
{
    QPainter dc(this);
    m_bDown = IsDrawnPressed();
    m_bHasFocus = hasFocus();
    m_bGreyed = !isEnabled();
    QRect face = rect();
    DrawButtonBackground(dc, face);
    DrawButtonBorder(dc, face);
    if (!m_aImages[0].IsEmpty())
        DrawButtonBitmap(dc, rect());
    if (!text().isEmpty())
        DrawButtonText(dc, rect());
    if ((!m_bFlatLook || m_bFocusWhenFlat) && m_bHasFocus) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &dc, this);
    }
}

void CButtonST::DrawButtonBackground(QPainter& dc, QRect& rect)
{
    if (!m_bFlatLook && (m_bHasFocus || isDefault())) {
        dc.fillRect(rect, Qt::black);
        rect.adjust(1, 1, -1, -1);
    }
    dc.fillRect(rect, palette().button());
}

void CButtonST::DrawButtonBorder(QPainter& dc, const QRect& rect)
{
    const QPalette& colours = palette();
    // Edges are drawn on the pixels just inside the rectangle.
    const int left = rect.left();
    const int top = rect.top();
    const int right = rect.right();
    const int bottom = rect.bottom();
    const auto raised = [&](QColor topLeft, QColor bottomRight) {
        dc.setPen(topLeft);
        dc.drawLine(left, top, right - 1, top);
        dc.drawLine(left, top, left, bottom - 1);
        dc.setPen(bottomRight);
        dc.drawLine(left, bottom, right, bottom);
        dc.drawLine(right, top, right, bottom);
    };
    if (m_bDown) {
        if (m_bFlatLook) {
            if (m_bBorderWhenFlat)
                raised(colours.dark().color(), colours.light().color());
        } else {
            dc.setPen(colours.dark().color());
            dc.setBrush(Qt::NoBrush);
            dc.drawRect(rect.adjusted(0, 0, -1, -1));
        }
        return;
    }
    if (!m_bFlatLook) {
        dc.setPen(colours.light().color());
        dc.drawLine(left, bottom - 1, left, top);
        dc.drawLine(left, top, right - 1, top);
        dc.setPen(colours.midlight().color());
        dc.drawLine(left + 1, bottom - 2, left + 1, top + 1);
        dc.drawLine(left + 1, top + 1, right - 2, top + 1);
        dc.setPen(colours.shadow().color());
        dc.drawLine(left, bottom, right, bottom);
        dc.drawLine(right, bottom, right, top);
        dc.setPen(colours.dark().color());
        dc.drawLine(left + 1, bottom - 1, right - 1, bottom - 1);
        dc.drawLine(right - 1, bottom - 1, right - 1, top + 1);
        return;
    }
    if (m_bHot && m_bBorderWhenFlat)
        raised(colours.light().color(), colours.dark().color());
}

const CButtonST::ImageRecord* CButtonST::ImageToDraw() const
{
    const bool pressedOrHot = IsCheckMode() ? m_bDown : (m_bDown || m_bHot);
    if (!m_aImages[1].IsEmpty() && !pressedOrHot)
        return &m_aImages[1];
    return &m_aImages[0];
}

void CButtonST::DrawButtonBitmap(QPainter& dc, const QRect& rect)
{
    const QPixmap& picture = ImageToDraw()->For(devicePixelRatioF());
    const QSize size = picture.deviceIndependentSize().toSize();
    QPoint corner;
    if (text().isEmpty())
        corner = QPoint(rect.left() + (rect.width() - size.width()) / 2,
                        rect.top() + (rect.height() - size.height()) / 2);
    else
        corner = QPoint(rect.left() + m_ptImageMargin.x(), rect.top() + (rect.height() - size.height()) / 2);
    if (m_bDown && !IsCheckMode())
        corner += m_ptDownShift;
    if (m_bGreyed && m_bDisabledImage) {
        QStyleOption option;
        option.initFrom(this);
        dc.drawPixmap(corner, style()->generatedIconPixmap(QIcon::Disabled, picture, &option));
        return;
    }
    dc.drawPixmap(corner, picture);
}

void CButtonST::DrawButtonText(QPainter& dc, const QRect& rect)
{
    QRect area = rect;
    if (!m_aImages[0].IsEmpty())
        area.setLeft(rect.left() + 2 * m_ptImageMargin.x() +
                     m_aImages[0].normal.deviceIndependentSize().toSize().width());
    if (m_bDown && !IsCheckMode())
        area.translate(m_ptDownShift);
    dc.setPen(palette().color(m_bGreyed ? QPalette::Disabled : QPalette::Active, QPalette::ButtonText));
    dc.drawText(area, Qt::AlignCenter | Qt::TextShowMnemonic, text());
}
