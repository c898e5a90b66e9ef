#include "AppSettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

namespace appsettings {

namespace {
QString settingKey(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}
} // namespace

QString read(const QString &application, const QString &section, const QString &key, const QString &defaultValue)
{
    QSettings settings(application, application);
    return settings.value(settingKey(section, key), defaultValue).toString();
}

void save(const QString &application, const QString &section, const QString &key, const QString &value)
{
    QSettings settings(application, application);
    settings.setValue(settingKey(section, key), value);
    settings.sync();
}

QString programName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QString programPath()
{
    return QCoreApplication::applicationFilePath();
}

} // namespace appsettings
