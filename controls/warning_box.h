// SPDX-License-Identifier: MIT
// A message with the exclamation icon and an OK button, titled with the
// application's name. Tests install a hook that records the text.
#pragma once

#include <QString>

#include <functional>

using WarningBoxHook = std::function<void(const QString& text)>;

void ShowWarningBox(const QString& text);

// With a hook set, ShowWarningBox calls it and shows nothing; an empty hook
// brings the real box back.
void SetWarningBoxHook(WarningBoxHook hook);
