// SPDX-License-Identifier: MIT
// Runs widget tests without a display unless one is asked for.
#include <QApplication>
#include <QString>

#include <gtest/gtest.h>

namespace {

QtMessageHandler g_defaultHandler = nullptr;

// The offscreen platform says what it cannot do; everything else is shown.
void DropPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")) ||
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    g_defaultHandler(type, context, message);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The hostile corpus holds files that hang their decoder until the deadline.
    if (qEnvironmentVariableIsEmpty("QUENLO_DECODE_SECONDS"))
        qputenv("QUENLO_DECODE_SECONDS", "5");
    g_defaultHandler = qInstallMessageHandler(DropPlatformNotes);
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
