#include "AppSettings.h"

#include "platform/Prompt.h"

#include <QCoreApplication>
#include <QDir>
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

QString save(const QString &application, const QString &section, const QString &key, const QString &value)
{
    QSettings settings(application, application);
    settings.setValue(settingKey(section, key), value);
    settings.sync();
    const QString file = QDir::toNativeSeparators(settings.fileName());
    switch (settings.status()) {
    case QSettings::NoError:
        return {};
    case QSettings::AccessError:
        return QStringLiteral("设置文件 %1 不能写入，请检查它和它所在文件夹的权限。").arg(file);
    case QSettings::FormatError:
        break;
    }
    return QStringLiteral("设置文件 %1 的内容有误，无法读写。").arg(file);
}

void tellUnsaved(const QString &reason)
{
    if (!reason.isEmpty())
        Prompt::current().message(QStringLiteral("提示"), QStringLiteral("无法保存设置！\n\n") + reason,
                                  Prompt::Icon::Exclamation);
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
