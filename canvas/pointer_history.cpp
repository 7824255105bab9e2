// SPDX-License-Identifier: MIT
#include "canvas/pointer_history.h"

#include <QGuiApplication>
#include <QWindow>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

std::vector<QPoint> PositionsAfter(const std::vector<PointerRecord>& records, uint64_t since, QPoint position)
{
    std::size_t first = 0;
    while (first < records.size() && records[first].time < since)
        ++first;
    std::size_t taken = first;
    for (std::size_t i = first; i < records.size() && records[i].time == since; ++i)
        taken = i + 1;
    for (std::size_t i = taken; i > first; --i)
        if (records[i - 1].position == position) {
            taken = i;
            break;
        }
    std::vector<QPoint> positions;
    for (std::size_t i = taken; i < records.size(); ++i)
        positions.push_back(records[i].position);
    return positions;
}

std::vector<QPoint> PointerPositionsSince(const QWidget& widget, uint64_t since, QPoint position, uint64_t until)
{
    std::vector<PointerRecord> records;
#if QT_CONFIG(xcb)
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    const QWindow* window = widget.window()->windowHandle();
    // Other platforms (offscreen among them) may answer as X11 without a connection.
    if (x11 == nullptr || window == nullptr || until < since || QGuiApplication::platformName() != "xcb")
        return {};
    xcb_connection_t* connection = x11->connection();
    if (connection == nullptr)
        return {};
    // X times are 32-bit milliseconds, both ends inclusive: quick motions
    // share the millisecond of the event they were merged into.
    const auto cookie = xcb_get_motion_events(connection, static_cast<xcb_window_t>(window->winId()),
                                              static_cast<xcb_timestamp_t>(since),
                                              static_cast<xcb_timestamp_t>(until));
    const std::unique_ptr<xcb_get_motion_events_reply_t, decltype(&std::free)> reply(
        xcb_get_motion_events_reply(connection, cookie, nullptr), &std::free);
    if (!reply)
        return {};
    const xcb_timecoord_t* coords = xcb_get_motion_events_events(reply.get());
    const int count = xcb_get_motion_events_events_length(reply.get());
    // The record holds device pixels of the top-level window.
    const qreal ratio = window->devicePixelRatio();
    for (int i = 0; i < count; ++i) {
        const QPoint native(qRound(coords[i].x / ratio), qRound(coords[i].y / ratio));
        records.push_back({coords[i].time, widget.mapFromGlobal(window->mapToGlobal(native))});
    }
#else
    (void)widget;
    (void)since;
    (void)until;
#endif
    return PositionsAfter(records, since, position);
}
