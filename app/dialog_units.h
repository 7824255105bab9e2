// SPDX-License-Identifier: MIT
// Dialog templates give positions in dialog units: a quarter of the dialog
// font's average character width across, an eighth of its height down.
#pragma once

#include <QFont>
#include <QRect>

struct DialogBaseUnits {
    int x = 0; // average character width in pixels
    int y = 0; // character height in pixels
};

// The font's base units: the average width of the 52 Latin letters, rounded,
// and the line height.
DialogBaseUnits BaseUnitsOf(const QFont& font);

// Each edge is converted on its own and rounded, so that adjacent controls
// stay adjacent in pixels.
QRect DialogUnitsToPixels(const QRect& units, DialogBaseUnits base);

// The dialog's font: the platform's sans font at 8 points.
QFont DialogFont();
