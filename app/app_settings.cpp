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
