// SPDX-License-Identifier: MIT
// Pictures whose background colour stands for "no picture here".
#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

// The picture in file name with every pixel of the transparent colour made
// fully transparent; a null pixmap when the file cannot be read.
QPixmap LoadWithoutColour(const QString& name, QColor transparent);
