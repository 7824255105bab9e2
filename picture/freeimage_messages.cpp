// SPDX-License-Identifier: MIT
#include "picture/freeimage_messages.h"

#include <FreeImage.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

namespace {

constexpr std::size_t MaxKeptMessages = 64;

struct MessageState {
    std::mutex lock;
    FreeImageMessageSink sink;
    std::vector<std::string> kept;
    bool routed = false;
};

MessageState& State()
{
    static MessageState state;
    return state;
}

void Keep(const std::string& text)
{
    MessageState& state = State();
    FreeImageMessageSink sink;
    {
        std::lock_guard<std::mutex> guard(state.lock);
        // A damaged file can make a codec complain once per line.
        if (state.kept.size() < MaxKeptMessages)
            state.kept.push_back(text);
        sink = state.sink;
    }
    if (sink)
        sink(text);
}

// Codecs end some messages with a line break; a reason is one line.
std::string OneLine(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

void DLL_CALLCONV OnFreeImageMessage(FREE_IMAGE_FORMAT /*format*/, const char* message)
{
    Keep(OneLine(message ? message : ""));
}

#if !defined(_WIN32)
// Where FreeImage uses the system's TIFF library, that library prints its
// warnings and errors to the terminal itself; its handlers are replaced here,
// found at run time so that nothing needs its headers.
using TiffHandler = void (*)(const char* module, const char* format, va_list arguments);
using TiffSetHandler = TiffHandler (*)(TiffHandler);

void OnTiffMessage(const char* module, const char* format, va_list arguments)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, arguments);
    Keep(OneLine(module ? std::string(module) + ": " + text : std::string(text)));
}

void RouteTiffMessages()
{
    for (const char* name : {"TIFFSetErrorHandler", "TIFFSetWarningHandler"}) {
        if (auto set = reinterpret_cast<TiffSetHandler>(dlsym(RTLD_DEFAULT, name)))
            set(OnTiffMessage);
    }
}
#else
void RouteTiffMessages() {}
#endif

} // namespace

void RouteFreeImageMessages(FreeImageMessageSink sink)
{
    MessageState& state = State();
    {
        std::lock_guard<std::mutex> guard(state.lock);
        state.sink = std::move(sink);
        state.routed = true;
    }
    FreeImage_SetOutputMessage(OnFreeImageMessage);
    RouteTiffMessages();
}

void EnsureFreeImageMessagesRouted()
{
    MessageState& state = State();
    {
        std::lock_guard<std::mutex> guard(state.lock);
        if (state.routed)
            return;
        state.routed = true;
    }
    FreeImage_SetOutputMessage(OnFreeImageMessage);
    RouteTiffMessages();
}

std::vector<std::string> TakeFreeImageMessages()
{
    MessageState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    std::vector<std::string> messages;
    messages.swap(state.kept);
    return messages;
}

std::string WithCodecReason(std::string text)
{
    const std::vector<std::string> messages = TakeFreeImageMessages();
    if (!messages.empty())
        text += " (" + messages.back() + ")";
    return text;
}
