// SPDX-License-Identifier: MIT
#include "app/app_settings.h"

#include <QCoreApplication>

CAppSettings::CAppSettings()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Varnholt"),
                 QCoreApplication::applicationName())
{
    m_settings.beginGroup(QLatin1String(SettingsSection));
}

CAppSettings::~CAppSettings()
{
    m_settings.endGroup();
}

int CAppSettings::ReadReloadLastFile()
{
    return m_settings.value(QLatin1String(ReloadLastFileKey), 0).toInt();
}

QString CAppSettings::ReadLastFile()
{
    return m_settings.value(QLatin1String(LastFileKey), QString()).toString();
}

void CAppSettings::WriteReloadLastFile(int value)
{
    m_settings.setValue(QLatin1String(ReloadLastFileKey), value);
}

void CAppSettings::WriteLastFile(const QString& path)
{
    m_settings.setValue(QLatin1String(LastFileKey), path);
}

QStringList CAppSettings::ReadRecentFiles()
{
    return m_settings.value(QLatin1String(RecentFilesKey)).toStringList();
}

void CAppSettings::WriteRecentFiles(const QStringList& paths)
{
    m_settings.setValue(QLatin1String(RecentFilesKey), paths);
}

bool CAppSettings::ReadRememberToolSettings()
{
    return m_settings.value(QLatin1String(RememberToolSettingsKey), 0).toInt() != 0;
}

void CAppSettings::WriteRememberToolSettings(bool remember)
{
    m_settings.setValue(QLatin1String(RememberToolSettingsKey), remember ? 1 : 0);
}

ToolSettings CAppSettings::ReadToolSettings()
{
    ToolSettings tools;
    const auto read = [this](const char* key, int fallback) {
        bool isNumber = false;
        const int value = m_settings.value(QLatin1String(key)).toInt(&isNumber);
        return isNumber ? value : fallback;
    };
    tools.brushSize = read(BrushSizeKey, tools.brushSize);
    tools.patchSize = read(PatchSizeKey, tools.patchSize);
    tools.smoothSeam = read(SmoothSeamKey, tools.smoothSeam ? 1 : 0) != 0;
    const QString method = m_settings.value(QLatin1String(FillMethodKey)).toString();
    tools.method = FillMethodNamed(method.toStdString()).value_or(tools.method);
    return tools;
}

void CAppSettings::WriteToolSettings(const ToolSettings& tools)
{
    m_settings.setValue(QLatin1String(BrushSizeKey), tools.brushSize);
    m_settings.setValue(QLatin1String(PatchSizeKey), tools.patchSize);
    m_settings.setValue(QLatin1String(SmoothSeamKey), tools.smoothSeam ? 1 : 0);
    m_settings.setValue(QLatin1String(FillMethodKey), QString::fromLatin1(FillMethodName(tools.method)));
}

void CAppSettings::RemoveToolSettings()
{
    for (const char* key : {BrushSizeKey, PatchSizeKey, SmoothSeamKey, FillMethodKey})
        m_settings.remove(QLatin1String(key));
}
