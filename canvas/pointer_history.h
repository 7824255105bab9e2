// SPDX-License-Identifier: MIT
// The pointer positions the window system recorded between two motion
// events: a busy application, or a window system that merges queued
// motions, gives only the last of several quick motions, and a stroke needs
// every one of them.
#pragma once

#include <QPoint>
#include <QWidget>

#include <cstdint>
#include <vector>

// One recorded pointer position, with the window system's milliseconds.
struct PointerRecord {
    uint64_t time = 0;
    QPoint position;
};

// The records that follow the one a stroke last took, which was at position
// at time since: several records may share a millisecond, so those of that
// millisecond up to the last one at position were taken already (all of
// them when none is at position). records are oldest first.
std::vector<QPoint> PositionsAfter(const std::vector<PointerRecord>& records, uint64_t since, QPoint position);

// Widget coordinates of the pointer after the position it had at time since
// and up to time until, oldest first; empty where the window system keeps
// no such record.
std::vector<QPoint> PointerPositionsSince(const QWidget& widget, uint64_t since, QPoint position, uint64_t until);
