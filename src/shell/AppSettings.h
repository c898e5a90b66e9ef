#pragma once

#include <QString>
#include <QVariant>

// Per-user settings by application, section and key (text values), one
// settings file per application name. Keys are case-sensitive: one spelling each.
namespace appsettings {

QString read(const QString &application, const QString &section, const QString &key,
             const QString &defaultValue = QString());
// Writes the value to the settings file at once. Empty on success, else the
// reason in the clerk's words (the file or its folder cannot be written, or
// the file cannot be read back as settings).
QString save(const QString &application, const QString &section, const QString &key, const QString &value);
// Tells the clerk that settings could not be saved, with the reason; nothing
// when reason is empty.
void tellUnsaved(const QString &reason);

// The program file's name without extension: the application name of the tip setting.
QString programName();
// Full path of the running program file.
QString programPath();

inline const QString kMainApplication = QStringLiteral("MorlundSoft");
inline const QString kMainSection = QStringLiteral("RadeZe");
inline const QString kMainFileKey = QStringLiteral("MainFile");
inline const QString kVersionKey = QStringLiteral("Ver");
inline const QString kOptionsSection = QStringLiteral("Options");
inline const QString kShowTipsKey = QStringLiteral("在启动时显示提示");

} // namespace appsettings
