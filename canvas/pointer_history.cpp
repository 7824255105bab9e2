// SPDX-License-Identifier: MIT
#include "canvas/pointer_history.h"

#include <QGuiApplication>
#include <QWindow>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

std::vector<QPoint> PointerPositionsBetween(const QWidget& widget, uint64_t after, uint64_t until)
{
    std::vector<QPoint> positions;
#if QT_CONFIG(xcb)
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    const QWindow* window = widget.window()->windowHandle();
    if (x11 == nullptr || window == nullptr || until <= after + 1)
        return positions;
    xcb_connection_t* connection = x11->connection();
    // X times are 32-bit milliseconds; both ends are exclusive here.
    const auto cookie = xcb_get_motion_events(connection, static_cast<xcb_window_t>(window->winId()),
                                              static_cast<xcb_timestamp_t>(after + 1),
                                              static_cast<xcb_timestamp_t>(until - 1));
    const std::unique_ptr<xcb_get_motion_events_reply_t, decltype(&std::free)> reply(
        xcb_get_motion_events_reply(connection, cookie, nullptr), &std::free);
    if (!reply)
        return positions;
    const xcb_timecoord_t* coords = xcb_get_motion_events_events(reply.get());
    const int count = xcb_get_motion_events_events_length(reply.get());
    // The record holds device pixels of the top-level window.
    const qreal ratio = window->devicePixelRatio();
    for (int i = 0; i < count; ++i) {
        const QPoint native(qRound(coords[i].x / ratio), qRound(coords[i].y / ratio));
        positions.push_back(widget.mapFromGlobal(window->mapToGlobal(native)));
    }
#else
    (void)widget;
    (void)after;
    (void)until;
#endif
    return positions;
}
