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

// Installs our handler when no one has yet, keeping any sink already set;
// what the loader and the writer call before they use FreeImage.
void EnsureFreeImageMessagesRouted();

// The messages reported since the last call, oldest first; clears them.
std::vector<std::string> TakeFreeImageMessages();

// text, followed by the latest message of the codecs in parentheses when
// there is one; clears the kept messages. For telling the user why.
std::string WithCodecReason(std::string text);
