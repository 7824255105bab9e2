// SPDX-License-Identifier: MIT
// Every message the user sees goes through here: an OK box titled with the
// application's name. Tests install a hook that records the text instead.
#pragma once

#include <QString>

#include <functional>

using MessageBoxHook = std::function<void(const QString& text)>;

void ShowMessageBox(const QString& text);

// With a hook set, ShowMessageBox calls it and shows nothing; an empty hook
// brings the real box back.
void SetMessageBoxHook(MessageBoxHook hook);
