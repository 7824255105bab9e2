// SPDX-License-Identifier: MIT
// The pointer positions the window system recorded between two motion
// events: a busy application gets only the last of several quick motions,
// and a stroke needs every one of them.
#pragma once

#include <QPoint>
#include <QWidget>

#include <cstdint>
#include <vector>

// Widget coordinates of the pointer after time after and before time until
// (the window system's milliseconds, as input events carry them), oldest
// first; empty where the window system keeps no such record.
std::vector<QPoint> PointerPositionsBetween(const QWidget& widget, uint64_t after, uint64_t until);
