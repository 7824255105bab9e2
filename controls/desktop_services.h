// SPDX-License-Identifier: MIT
// Opening a web page, a mail address or a local file with the program the
// desktop chooses for it. Tests install a hook that records the address and
// answers at once.
#pragma once

#include <QUrl>

#include <functional>

using DesktopOpenHook = std::function<bool(const QUrl& url)>;

// True when the desktop took the address.
bool OpenWithDesktop(const QUrl& url);

// With a hook set, OpenWithDesktop calls it instead of the desktop; an empty
// hook brings the desktop back.
void SetDesktopOpenHook(DesktopOpenHook hook);
