// SPDX-License-Identifier: MIT
#include "app/snapshot_folder.h"

#include <QDir>
#include <QStandardPaths>

QString SnapshotFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // Without a data folder the path would hang off the file system's root.
    if (data.isEmpty())
        return {};
    // A fresh account may not have its data folder yet.
    QDir().mkpath(data);
    QString folder = data;
    for (const char* level : {"Varnholt", "Tessaro", "temp"}) {
        folder += QLatin1Char('/') + QLatin1String(level);
        if (!QDir(folder).exists())
            QDir().mkdir(folder);
    }
    return folder;
}

void CleanSnapshotFolder()
{
    const QString folder = SnapshotFolder();
    if (folder.isEmpty())
        return;
    QDir snapshots(folder);
    if (!snapshots.exists())
        return;
    // Without QDir::CaseSensitive the pattern matches any letter case.
    snapshots.setNameFilters({QStringLiteral("*.bmp")});
    snapshots.setFilter(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : snapshots.entryList())
        snapshots.remove(name);
}
