// SPDX-License-Identifier: MIT
#include "app/library_messages.h"

#include "picture/freeimage_messages.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>

namespace {

QtMessageHandler g_defaultHandler = nullptr;
bool g_bVerbose = false;

void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    // A fatal message ends the program; the user must learn why.
    if (type == QtFatalMsg || g_bVerbose)
        g_defaultHandler(type, context, message);
}

} // namespace

void RouteLibraryMessages()
{
    const QByteArray verbose = qgetenv("QUENLO_VERBOSE");
    g_bVerbose = !verbose.isEmpty() && verbose != "0";
    g_defaultHandler = qInstallMessageHandler(OnQtMessage);
    if (g_bVerbose)
        RouteFreeImageMessages([](const std::string& message) { std::fprintf(stderr, "FreeImage: %s\n", message.c_str()); });
    else
        RouteFreeImageMessages();
}
