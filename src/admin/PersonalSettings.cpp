#include "PersonalSettings.h"

#include "db/Database.h"
#include "db/EngineFailure.h"
#include "db/FileReplace.h"
#include "shell/Passwords.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace personal {

namespace {
QString typographic(QString text)
{
    return text.replace(QLatin1Char('\''), QChar(0x2019));
}

// Why the chosen picture file could not be read, the system's text as detail.
QString unreadablePicture(const QFile &file)
{
    const QFileInfo info(file.fileName());
    const QString name = QDir::toNativeSeparators(file.fileName());
    QString reason;
    if (!info.exists())
        reason = QStringLiteral("图片文件 %1 不存在，请重新选择图片。").arg(name);
    else if (!info.isFile())
        reason = QStringLiteral("%1 不是图片文件，请重新选择图片。").arg(name);
    else
        reason = QStringLiteral("无法读取图片文件 %1，请检查它的权限或者重新选择图片。").arg(name);
    return db::withDetail(reason, file.errorString());
}
} // namespace

QString readNote(db::Database &db, const QString &code)
{
    return db.scalar(QStringLiteral("select pad from TE1 where F1=?"), {code}).toString();
}

QString storedNote(const QString &text)
{
    return typographic(text);
}

bool saveNote(db::Database &db, const QString &code, const QString &storedText)
{
    return db.exec(QStringLiteral("update TE1 set pad=? where F1=?"), {storedText, code});
}

QString storedCaption(const QString &text)
{
    return QLatin1Char(' ') + typographic(text).trimmed();
}

bool saveCaption(db::Database &db, const QString &code, const QString &storedText)
{
    return db.exec(QStringLiteral("update TE1 set F75=? where F1=?"), {storedText, code});
}

PasswordChange changePassword(db::Database &db, const QString &code, const QString &oldPassword,
                              const QString &newPassword, const QString &confirmation)
{
    if (newPassword != confirmation)
        return {PasswordOutcome::Mismatch, {}};
    db::Transaction tx(db);
    if (!tx.isActive())
        return {PasswordOutcome::Failed, db.lastError()};
    db::Statement st = db.prepare(QStringLiteral("select F3 from TE1 where F1=?"));
    if (!st.isValid() || !st.bindAll({code}))
        return {PasswordOutcome::Failed, db.lastError()};
    if (!st.next()) {
        if (st.hasError())
            return {PasswordOutcome::Failed, st.error()};
        return {PasswordOutcome::WrongOld, {}};  // no such operator
    }
    const QString stored = st.text(0);
    st = db::Statement();
    if (!passwords::matches(stored, oldPassword))
        return {PasswordOutcome::WrongOld, {}};
    if (!db.exec(QStringLiteral("update TE1 set F3=? where F1=?"), {passwords::storedForm(newPassword), code}) ||
        !tx.commit())
        return {PasswordOutcome::Failed, db.lastError()};
    return {PasswordOutcome::Changed, {}};
}

QString ownPicturePath(const QString &appPath, const QString &code)
{
    return appPath + QStringLiteral("image/") + code + QStringLiteral(".jpg");
}

QString defaultPicturePath(const QString &appPath)
{
    return appPath + QStringLiteral("syspic.dat");
}

std::optional<QString> setOwnPicture(const QString &appPath, const QString &code, const QString &source)
{
    QFile in(source);
    const bool opened = in.open(QIODevice::ReadOnly);
    const QByteArray content = opened ? in.readAll() : QByteArray();
    if (!opened || in.error() != QFile::NoError)
        return unreadablePicture(in);
    QDir().mkpath(appPath + QStringLiteral("image"));
    if (const QString failure = db::writeWhole(ownPicturePath(appPath, code), content); !failure.isEmpty())
        return failure;
    return std::nullopt;
}

void removeOwnPicture(const QString &appPath, const QString &code)
{
    QFile::remove(ownPicturePath(appPath, code));
}

} // namespace personal
