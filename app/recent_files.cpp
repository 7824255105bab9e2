// SPDX-License-Identifier: MIT
#include "app/recent_files.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The one spelling of a file's path, so that doubles are found.
QString Normalised(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Long folders keep their start and their end, the parts that tell them apart.
QString ShortFolder(const QString& folder)
{
    constexpr int Longest = 40;
    if (folder.size() <= Longest)
        return folder;
    return folder.left(14) + QChar(0x2026) + folder.right(Longest - 15);
}

} // namespace

void CRecentFiles::SetPaths(const QStringList& paths)
{
    m_paths.clear();
    for (const QString& path : paths) {
        if (path.isEmpty() || m_paths.size() == MaxFiles)
            continue;
        const QString normalised = Normalised(path);
        if (!m_paths.contains(normalised))
            m_paths.push_back(normalised);
    }
}

void CRecentFiles::Add(const QString& path)
{
    if (path.isEmpty())
        return;
    const QString normalised = Normalised(path);
    m_paths.removeAll(normalised);
    m_paths.prepend(normalised);
    while (m_paths.size() > MaxFiles)
        m_paths.removeLast();
}

void CRecentFiles::Remove(const QString& path)
{
    m_paths.removeAll(Normalised(path));
}

QStringList RecentMenuTexts(const QStringList& paths)
{
    QStringList names;
    for (const QString& path : paths)
        names.push_back(QFileInfo(path).fileName());
    QStringList texts;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        QString text = names[i];
        if (names.count(names[i]) > 1)
            text += QStringLiteral("  (%1)").arg(ShortFolder(QDir::toNativeSeparators(QFileInfo(paths[i]).path())));
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        texts.push_back(QStringLiteral("&%1 %2").arg(i + 1).arg(text));
    }
    return texts;
}
