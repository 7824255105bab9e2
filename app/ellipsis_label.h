// SPDX-License-Identifier: MIT
// A one-line label that shortens a text too long for it with an ellipsis,
// while text() keeps the whole of it.
#pragma once

#include <QLabel>

class CEllipsisLabel : public QLabel {
public:
    // Qt::ElideMiddle for paths (the file name at the end stays readable),
    // Qt::ElideRight for words.
    CEllipsisLabel(const QString& text, Qt::TextElideMode mode, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::TextElideMode m_mode;
};
