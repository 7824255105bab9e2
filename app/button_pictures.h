// SPDX-License-Identifier: MIT
// The files of the button pictures and the program icon, compiled in.
#pragma once

#include <QColor>
#include <QString>

// Every button picture's background, which the buttons draw as transparent.
inline const QColor ButtonPictureBackground(212, 208, 200);

// The resource path of picture id (IDB_..., IDR_MAINFRAME); empty for an
// unknown id.
QString ButtonPicturePath(int id);
