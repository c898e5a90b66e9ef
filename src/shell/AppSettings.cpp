#include "AppSettings.h"

#include "platform/Prompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <sys/stat.h>

namespace appsettings {

namespace {
QString settingKey(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

// The folder of the per-user settings files. QSettings reads its files as
// soon as it is made: one made for a name no file has tells the folder
// without reading anything that matters.
QString settingsFolder()
{
    const QSettings probe(QStringLiteral("warehouse-settings-folder-probe"), QStringLiteral("probe"));
    return QFileInfo(QFileInfo(probe.fileName()).absolutePath()).absolutePath();
}

// Why the settings of application cannot be read, naming the file: one of
// the files QSettings reads for it (its own, and the organisation's beside
// it) is there but no regular file. A FIFO would hold the read for good, a
// device would never end. Empty when they are regular files or missing.
QString unsafeSettingsFile(const QString &application)
{
    const QString folder = settingsFolder();
    const QString conf = QStringLiteral(".conf");
    for (const QString &path : {folder + QLatin1Char('/') + application + QLatin1Char('/') + application + conf,
                                folder + QLatin1Char('/') + application + conf}) {
        struct stat info{};
        if (::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode))
            return QDir::toNativeSeparators(path);
    }
    return {};
}

QString notAFileReason(const QString &file)
{
    return QStringLiteral("设置文件 %1 不是文件（是文件夹、管道或设备），本程序不读也不写它。").arg(file);
}
} // namespace

QString read(const QString &application, const QString &section, const QString &key, const QString &defaultValue)
{
    // Such a file is passed over and the defaults hold; the clerk learns why
    // when a setting is saved (the tip window saves one whenever it shows).
    if (!unsafeSettingsFile(application).isEmpty())
        return defaultValue;
    QSettings settings(application, application);
    return settings.value(settingKey(section, key), defaultValue).toString();
}

QString save(const QString &application, const QString &section, const QString &key, const QString &value)
{
    if (const QString file = unsafeSettingsFile(application); !file.isEmpty())
        return notAFileReason(file);
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
