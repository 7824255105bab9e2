// SPDX-License-Identifier: MIT
#include "app/ellipsis_label.h"

#include <QPainter>

CEllipsisLabel::CEllipsisLabel(const QString& text, Qt::TextElideMode mode, QWidget* parent)
    : QLabel(text, parent), m_mode(mode)
{
    setTextFormat(Qt::PlainText);
}

void CEllipsisLabel::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(area, static_cast<int>(alignment()) | Qt::TextSingleLine,
                     fontMetrics().elidedText(text(), m_mode, area.width()));
}
