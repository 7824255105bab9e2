// SPDX-License-Identifier: MIT
#include "controls/desktop_services.h"

#include <QDesktopServices>

namespace {

DesktopOpenHook& Hook()
{
    static DesktopOpenHook hook;
    return hook;
}

} // namespace

bool OpenWithDesktop(const QUrl& url)
{
    if (Hook())
        return Hook()(url);
    return QDesktopServices::openUrl(url);
}

void SetDesktopOpenHook(DesktopOpenHook hook)
{
    Hook() = std::move(hook);
}
