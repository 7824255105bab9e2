// SPDX-License-Identifier: MIT
#include "controls/desktop_services.h"

#include "controls/wait_cursor.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace {

DesktopOpenHook& Hook()
{
    static DesktopOpenHook hook;
    return hook;
}

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
// The opener's failure (no browser, no program for the address) shows only in
// its exit status, and it may instead run the browser until the browser
// closes: it is given three seconds to fail, then left running on its own.
bool OpenWithOpener(const QString& opener, const QUrl& url)
{
    static const QString Script = QStringLiteral(
        "\"$0\" \"$1\" >/dev/null 2>&1 </dev/null & opener=$!\n"
        "for step in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30; do\n"
        "  kill -0 $opener 2>/dev/null || { wait $opener; exit $?; }\n"
        "  sleep 0.1\n"
        "done\n");
    const CWaitCursor waitCursor;
    QProcess shell;
    shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), Script, opener, url.toString(QUrl::FullyEncoded)});
    return shell.waitForFinished(10000) && shell.exitStatus() == QProcess::NormalExit && shell.exitCode() == 0;
}
#endif

} // namespace

bool OpenWithDesktop(const QUrl& url)
{
    if (Hook())
        return Hook()(url);
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty())
        return OpenWithOpener(opener, url);
#endif
    return QDesktopServices::openUrl(url);
}

void SetDesktopOpenHook(DesktopOpenHook hook)
{
    Hook() = std::move(hook);
}
