// SPDX-License-Identifier: MIT
// The main dialog's controls as its template lays them out.
#pragma once

#include "app/dialog_units.h"

#include <QSize>

class QWidget;

// The template's client area, in dialog units.
inline constexpr QSize ViewerDialogUnits(386, 337);

// Creates every control of the main dialog as a child of client, in
// template order (which is the tab order), at its place converted from
// dialog units, hidden where the template hides it. Each control with an id
// has that number as its objectName.
void CreateViewerControls(QWidget* client, DialogBaseUnits base);
