// SPDX-License-Identifier: MIT
// The two settings the program keeps between runs, in the per-user store of
// the platform: organisation "Varnholt", the application's name, section
// "Settings".
#pragma once

#include <QSettings>
#include <QString>

inline constexpr char SettingsSection[] = "Settings";
inline constexpr char ReloadLastFileKey[] = "ReloadLastFile";
inline constexpr char LastFileKey[] = "LastFile";

// The store, opened on the section.
class CAppSettings {
public:
    CAppSettings();
    ~CAppSettings();

    // Missing values read as 0 and the empty string.
    int ReadReloadLastFile();
    QString ReadLastFile();
    void WriteReloadLastFile(int value);
    void WriteLastFile(const QString& path);

private:
    QSettings m_settings;
};
