// SPDX-License-Identifier: MIT
// The pictures opened or saved last, newest first, each once, at most
// MaxFiles of them; and the texts the File menu shows for them.
#pragma once

#include <QString>
#include <QStringList>

class CRecentFiles {
public:
    static constexpr int MaxFiles = 8;

    // Takes a stored list, which may hold doubles, relative paths or too
    // many entries.
    void SetPaths(const QStringList& paths);
    const QStringList& Paths() const { return m_paths; }
    // Puts path first, removing an earlier entry for the same file.
    void Add(const QString& path);
    void Remove(const QString& path);
    void Clear() { m_paths.clear(); }

private:
    QStringList m_paths;
};

// One menu text per path: "&1 name", with the folder added where two
// entries share a name, and "&" kept from turning into a mnemonic.
QStringList RecentMenuTexts(const QStringList& paths);
