// SPDX-License-Identifier: MIT
// The settings the program keeps between runs, in the per-user store of the
// platform: organisation "Varnholt", the application's name, section
// "Settings". Besides the reload choice and the last file: the recent
// pictures, and the tool settings when the user asked to keep them.
#pragma once

#include "structure/fill_method.h"

#include <QSettings>
#include <QString>
#include <QStringList>

inline constexpr char SettingsSection[] = "Settings";
inline constexpr char ReloadLastFileKey[] = "ReloadLastFile";
inline constexpr char LastFileKey[] = "LastFile";
inline constexpr char RecentFilesKey[] = "RecentFiles";
inline constexpr char RememberToolSettingsKey[] = "RememberToolSettings";
inline constexpr char BrushSizeKey[] = "BrushSize";
inline constexpr char PatchSizeKey[] = "PatchSize";
inline constexpr char SmoothSeamKey[] = "SmoothSeam";
inline constexpr char FillMethodKey[] = "FillMethod"; // "patches" or "structure"

// Brush size, patch size, seam smoothing and fill method as the user left them.
struct ToolSettings {
    int brushSize = 10;
    int patchSize = 32;
    bool smoothSeam = false;
    FillMethod method = FillMethod::Patches;
};

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

    QStringList ReadRecentFiles();
    void WriteRecentFiles(const QStringList& paths);

    // Off unless the user turned it on.
    bool ReadRememberToolSettings();
    void WriteRememberToolSettings(bool remember);
    // A value missing, not a number or not a method's name reads as its start value.
    ToolSettings ReadToolSettings();
    void WriteToolSettings(const ToolSettings& tools);
    void RemoveToolSettings();

private:
    QSettings m_settings;
};
