// SPDX-License-Identifier: MIT
// FreeImage and the codecs behind it report warnings and errors of their own;
// they all come here instead of the terminal, and are kept so that a failed
// load or save can tell the user why.
#pragma once

#include <functional>
#include <string>
#include <vector>

using FreeImageMessageSink = std::function<void(const std::string& message)>;

// Installs our handler; with a sink every message is also passed to it (for
// a verbose mode). Safe to call more than once; the last sink wins.
void RouteFreeImageMessages(FreeImageMessageSink sink = {});

// The messages reported since the last call, oldest first; clears them.
std::vector<std::string> TakeFreeImageMessages();
